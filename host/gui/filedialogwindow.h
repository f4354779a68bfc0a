// A file dialog of the platform as a real one: Qt's own QFileDialog (the same on every
// desktop, and one a test can work), opening or saving, with the request's title, folder,
// file name, default extension and file types, or choosing a folder when the request's name
// field is hidden (a folder chooser).  Windows paths are mapped through the prefix's drives.
#pragma once

#include "win/filedialog.h"

#include <QFileDialog>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cadhost::gui {

// The file types as Qt's name filters, "Description (*.a *.b)": a description that names its
// patterns in parentheses at its end keeps only the request's patterns there.
QStringList NameFilters(const std::vector<win::FileFilter>& filters);

std::unique_ptr<QFileDialog> MakeFileDialog(const win::FileDialogRequest& request, QWidget* parent);
// The answer of a dialog that was accepted: the file (or folder) chosen, in the Windows form;
// nullopt for a dialog that was cancelled.
std::optional<std::string> AnswerOf(const QFileDialog& dialog);

} // namespace cadhost::gui
