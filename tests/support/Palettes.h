#pragma once
// Colours as a technician's desktop may give them: a dark palette, and the
// contrast ratio by which text and pictures are judged readable on it.
#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

inline QPalette darkPalette()
{
    QPalette p;
    const QColor text(230, 230, 230), disabled(120, 120, 120);
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
    p.setColor(QPalette::Button, QColor(55, 55, 58));
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    return p;
}

// Relative luminance, as contrast ratios are measured.
inline double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// 1 for the same colour, 21 for black on white.
inline double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
