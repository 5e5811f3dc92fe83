#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// Text forms of stored window placements: "left,top,right,bottom" (right and
// bottom exclusive, as the platform's window rectangles) and "widthxheight".

QString FormatWindowRect(const QRect& rect);

// Splits at the first three commas and converts each piece like _wtol (a
// leading number, 0 when there is none). False when fewer than four pieces.
bool ParseWindowRect(const QString& strText, QRect& rect);

// The 680 x 505 rectangle centred on a screen of the given size.
QRect DefaultWindowRect(const QSize& screenSize);

QString FormatWindowSize(const QSize& size);

// Splits at the first "x"; true only when both numbers are greater than 0.
bool ParseWindowSize(const QString& strText, QSize& size);

// The leading decimal integer of a text like _wtol: leading white space, an
// optional sign, digits; 0 when no digit follows.
int LeadingInt(const QString& strText);
