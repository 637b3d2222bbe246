#pragma once

#include <QMessageBox>

#include <memory>

namespace kovessa {

// The box that tells the user the renderer is missing: the program's caption, the message, an
// OK button and nothing else (no icon), as the program's boxes have always looked.
std::unique_ptr<QMessageBox> MakeMissingRendererBox();

} // namespace kovessa
