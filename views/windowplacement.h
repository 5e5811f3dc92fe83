#pragma once

class QWidget;

// The saved placement of a window of the comparison window's family
// (index -1 for the comparison window, 2 to 4 for the result windows):
// the rectangle when the settings hold four numbers, and the maximised
// state.
void RestoreWindowPlacement(QWidget* pWindow, int nFrameIndex);
void SaveWindowPlacement(const QWidget* pWindow, int nFrameIndex);
