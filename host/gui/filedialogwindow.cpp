#include "gui/filedialogwindow.h"

#include "win/paths.h"

#include <QDir>
#include <QRegularExpression>

namespace cadhost::gui {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The name of a path without its folder, in either form.
std::string NameOf(const std::string& path) {
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

QStringList NameFilters(const std::vector<win::FileFilter>& filters) {
    QStringList list;
    for (const win::FileFilter& filter : filters) {
        QString description = FromUtf8(filter.description).trimmed();
        // "Rich Text (*.rtf)" keeps its words; the patterns in parentheses are the request's.
        static const QRegularExpression trailingGroup(QStringLiteral("\\s*\\([^()]*\\)$"));
        description.remove(trailingGroup);
        QStringList patterns = FromUtf8(filter.pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        if (description.isEmpty())
            description = patterns.join(QLatin1Char(' '));
        list << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                    QLatin1Char(')');
    }
    return list;
}

std::unique_ptr<QFileDialog> MakeFileDialog(const win::FileDialogRequest& request,
                                            QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, FromUtf8(request.title));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The platform's dialog asks about replacing and creating files itself.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    std::string folder = win::ToHostPath(request.folder);
    if (!folder.empty())
        dialog->setDirectory(FromUtf8(folder));
    if (!request.okText.empty())
        dialog->setLabelText(QFileDialog::Accept, FromUtf8(request.okText));
    if (request.foldersOnly) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        return dialog;
    }
    dialog->setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(request.open && (request.flags & OFN_FILEMUSTEXIST)
                            ? QFileDialog::ExistingFile
                            : QFileDialog::AnyFile);
    QStringList filters = NameFilters(request.filters);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        std::size_t index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                                ? request.filterIndex - 1
                                : 0;
        dialog->selectNameFilter(filters[static_cast<qsizetype>(index)]);
    }
    if (!request.defaultExtension.empty())
        dialog->setDefaultSuffix(FromUtf8(request.defaultExtension));
    std::string name = NameOf(request.initialName);
    if (!name.empty())
        dialog->selectFile(FromUtf8(name));
    return dialog;
}

std::optional<std::string> AnswerOf(const QFileDialog& dialog) {
    if (dialog.result() != QDialog::Accepted)
        return std::nullopt;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    std::string path = QDir::cleanPath(chosen.first()).toStdString();
    std::string windows = win::ToWindowsPath(path);
    return windows.empty() ? path : windows;
}

} // namespace cadhost::gui
