#pragma once
// The operator's manual, a Markdown resource built into the program, in a window of its own.
class QWidget;

namespace gw {

// The manual's address among the program's resources.
inline constexpr const char* kManualUrl = "qrc:/gravewind/manual/manual.md";

QWidget* createHelpWindow(QWidget* parent);

}  // namespace gw
