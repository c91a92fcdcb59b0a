#pragma once
// Wheel deltas in eighths of a degree, gathered into whole steps of 120 (one notch); small
// touchpad deltas add up. A turn against the gathered direction starts afresh instead of
// undoing it first.

class CWheelSteps {
  public:
    // Adds a delta; returns the whole steps it completes, positive away from the user.
    int Add(int nDelta) {
        if ((nDelta > 0 && m_nDelta < 0) || (nDelta < 0 && m_nDelta > 0)) m_nDelta = 0;
        m_nDelta += nDelta;
        const int steps = m_nDelta / 120; // toward zero: the remainder keeps its sign
        m_nDelta -= steps * 120;
        return steps;
    }
    void Reset() { m_nDelta = 0; }

  private:
    int m_nDelta = 0;
};
