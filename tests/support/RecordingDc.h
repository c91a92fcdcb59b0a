#pragma once
// A Dc that records every call for tests that compare drawing sequences. Text extents are
// fixed: 7 pixels per byte of text wide and the selected font's height high, so label
// positions are predictable without any font.

#include "platform/Dc.h"

#include <string>
#include <vector>

struct CDcCall {
    enum class Kind {
        SelectPen,
        MoveTo,
        LineTo,
        FillSolidRect,
        FrameRect,
        SetTextColor,
        SelectFont,
        TextOut
    };
    Kind kind = Kind::MoveTo;
    CPoint from;      // LineTo: the current position before the call
    CPoint pt;        // MoveTo/LineTo: the target; TextOut: the cell's top-left
    COLORREF clr = 0; // pen colour for LineTo, fill/frame colour, text colour for TextOut,
                      // the new colour for SelectPen/SetTextColor
    CRect rc;         // FillSolidRect/FrameRect
    std::string text; // TextOut
    CFontSpec font;   // SelectFont: the new font; TextOut: the font in use
    friend bool operator==(const CDcCall&, const CDcCall&) = default;
};

class RecordingDc : public Dc {
  public:
    static constexpr int kCharWidth = 7;

    COLORREF SelectPen(COLORREF clr) override {
        COLORREF old = m_clrPen;
        m_clrPen = clr;
        Add(CDcCall::Kind::SelectPen).clr = clr;
        return old;
    }
    void MoveTo(int x, int y) override {
        m_ptCur = {x, y};
        Add(CDcCall::Kind::MoveTo).pt = {x, y};
    }
    void LineTo(int x, int y) override {
        CDcCall& c = Add(CDcCall::Kind::LineTo);
        c.from = m_ptCur;
        c.pt = {x, y};
        c.clr = m_clrPen;
        m_ptCur = {x, y};
    }
    void FillSolidRect(const CRect& rc, COLORREF clr) override {
        CDcCall& c = Add(CDcCall::Kind::FillSolidRect);
        c.clr = clr;
        c.rc = rc;
    }
    void FrameRect(const CRect& rc, COLORREF clr) override {
        CDcCall& c = Add(CDcCall::Kind::FrameRect);
        c.clr = clr;
        c.rc = rc;
    }
    COLORREF SetTextColor(COLORREF clr) override {
        COLORREF old = m_clrText;
        m_clrText = clr;
        Add(CDcCall::Kind::SetTextColor).clr = clr;
        return old;
    }
    CFontSpec SelectFont(const CFontSpec& font) override {
        CFontSpec old = m_font;
        m_font = font;
        Add(CDcCall::Kind::SelectFont).font = font;
        return old;
    }
    CSize GetTextExtent(std::string_view text) override {
        return {static_cast<int>(text.size()) * kCharWidth, m_font.height};
    }
    void TextOut(int x, int y, std::string_view text) override {
        CDcCall& c = Add(CDcCall::Kind::TextOut);
        c.pt = {x, y};
        c.clr = m_clrText;
        c.text = std::string(text);
        c.font = m_font;
    }

    const std::vector<CDcCall>& Calls() const { return m_calls; }
    // The calls of one kind, in order.
    std::vector<CDcCall> Calls(CDcCall::Kind kind) const {
        std::vector<CDcCall> out;
        for (const CDcCall& c : m_calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    void Clear() { m_calls.clear(); }
    CPoint GetCurrentPosition() const { return m_ptCur; }
    COLORREF PenColor() const { return m_clrPen; }
    COLORREF TextColor() const { return m_clrText; }
    const CFontSpec& Font() const { return m_font; }

  private:
    CDcCall& Add(CDcCall::Kind kind) {
        CDcCall& c = m_calls.emplace_back();
        c.kind = kind;
        return c;
    }

    std::vector<CDcCall> m_calls;
    CPoint m_ptCur;
    COLORREF m_clrPen = RGB(0, 0, 0);
    COLORREF m_clrText = RGB(0, 0, 0);
    CFontSpec m_font;
};
