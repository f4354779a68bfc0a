// A message box of the platform as a real one: a QMessageBox with the request's caption,
// text and icon, its buttons in their order and its default button, each button answering
// its id.
#pragma once

#include "win/msgbox.h"

#include <QMessageBox>

#include <memory>

namespace cadhost::gui {

std::unique_ptr<QMessageBox> MakeMessageBox(const win::MessageBoxRequest& request, QWidget* parent);
// The button id a box was answered with: the button clicked, else (closed without one) the
// request's default button.
int AnswerOf(const QMessageBox& box, const win::MessageBoxRequest& request);
// The Qt button of a request's button id, or nullptr.
QAbstractButton* ButtonOf(const QMessageBox& box, int id);

} // namespace cadhost::gui
