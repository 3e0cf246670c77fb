#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// Colours of the dialogs, given as the program's colour values: 0x00BBGGRR.
inline QColor DesignColor(unsigned value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Paints widget's background in color.
inline void Fill(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
