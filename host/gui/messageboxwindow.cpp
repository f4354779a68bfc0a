#include "gui/messageboxwindow.h"

#include <QAbstractButton>
#include <QPushButton>

namespace cadhost::gui {

namespace {

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The property that ties a Qt button to the id it answers.
constexpr const char* kButtonId = "buttonId";

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const win::MessageBoxRequest& request,
                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromStdString(request.caption));
    box->setText(QString::fromStdString(request.text));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(IconOf(request.type));
    int defaultId = win::DefaultButtonOf(request.type);
    for (int id : win::ButtonsOf(request.type)) {
        // Buttons keep the order the request gives them: each is added with the role that
        // keeps Qt's button box from sorting them by platform.
        QPushButton* button =
            box->addButton(QString::fromStdString(win::ButtonName(id)), QMessageBox::ActionRole);
        button->setProperty(kButtonId, id);
        if (id == defaultId)
            box->setDefaultButton(button);
        // Escape answers Cancel, or OK in a box that has nothing else.
        if (id == IDCANCEL || (id == IDOK && (request.type & MB_TYPEMASK) == MB_OK))
            box->setEscapeButton(button);
    }
    return box;
}

QAbstractButton* ButtonOf(const QMessageBox& box, int id) {
    for (QAbstractButton* button : box.buttons())
        if (button->property(kButtonId).toInt() == id)
            return button;
    return nullptr;
}

int AnswerOf(const QMessageBox& box, const win::MessageBoxRequest& request) {
    if (QAbstractButton* clicked = box.clickedButton()) {
        int id = clicked->property(kButtonId).toInt();
        if (id != 0)
            return id;
    }
    // Closed without a button: the box's Cancel when it has one, else its default.
    for (int id : win::ButtonsOf(request.type))
        if (id == IDCANCEL)
            return id;
    return win::DefaultButtonOf(request.type);
}

} // namespace cadhost::gui
