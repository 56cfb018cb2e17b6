#pragma once
// From process start to the interactive window: the creation handler of 窗口, which fixes the
// window, takes the program directory, attaches the tooltip, starts the image layer and hands
// over to the followed-cities panel (which runs the first query).

#include "app/main_window.h"

namespace qc {

inline constexpr char kCaptionUtf8[] = "晴窗 1.0   开窗见晴，天气一目了然";

void OnMainWindowCreated(MainWindow& window);
// Starts the image layer the PNG icons are drawn with; its status is not used.
int StartGraphics();

// Shows a busy pointer while a query runs, so the user knows the window is working.
void InstallBusyPointer();

}  // namespace qc
