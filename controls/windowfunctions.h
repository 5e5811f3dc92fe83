#pragma once

#include <QString>

class CDBData;
class QFontMetrics;
class QWidget;

// a * b / c rounded to nearest, halves away from zero (the platform's MulDiv).
int MulDiv(int a, int b, int c);

// The text cut to fit nWidth pixels with nOffset pixels reserved, ending in
// "..." when cut; empty when not even "..." fits.
QString MakeShortString(const QFontMetrics& metrics, const QString& strText, int nWidth, int nOffset);

// Enables or disables a control without stranding the keyboard focus: a
// focused control that is disabled first hands the focus to the next enabled
// control of its dialog. True when the control was disabled before.
bool EnableControl(QWidget* pControl, bool bEnable);

// The maker's web site, opened by the logo button and the about box's link.
QString MakerWebAddress();

// The application's tools database (the main dialog's), or null without an
// application object.
CDBData* ToolsDatabase();

// Path of a companion file beside the executable (a DocumentKind) in the
// interface language, or empty when it does not exist.
QString CompanionFilePath(int nKind);

// Opens an existing document with the program the system associates with
// it; when no program could open it, says so in a message box that gives
// the file's path. False when nothing was opened.
bool OpenDocument(const QString& strPath);

// Opens an address with the user's browser ("open"); false when it could not.
bool ShellOpenUrl(const QString& strUrl);

// The warning beep; the count of beeps given lets callers (and tests) see
// that a refusal was signalled.
void MessageBeep();
int BeepCount();
