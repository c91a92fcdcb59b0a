#pragma once
// Wheel deltas gathered into whole notches of 120 units: a touchpad's small deltas add up,
// and a turn against the gathered direction starts afresh instead of undoing it first.

class CWheelSteps {
  public:
    static constexpr int kNotch = 120;

    // Takes a vertical delta; returns the whole steps now due, positive away from the user.
    int Add(int nDelta) {
        if ((nDelta > 0 && m_nRest < 0) || (nDelta < 0 && m_nRest > 0)) m_nRest = 0;
        m_nRest += nDelta;
        const int nSteps = m_nRest / kNotch; // toward zero: the rest keeps the sign
        m_nRest -= nSteps * kNotch;
        return nSteps;
    }

  private:
    int m_nRest = 0;
};
