#include "platform/qt/qt_file_dialog.h"

#include <QFileDialog>
#include <QStringList>

#include "platform/qt/qt_control.h"
#include "platform/qt/qt_text.h"

namespace korvane::qt {

QString qtNameFilter(const ui::FileFilter& filter) {
    QString patterns = toQString(filter.pattern);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return QStringLiteral("%1 (%2)").arg(toQString(filter.displayName), patterns.simplified());
}

std::optional<std::filesystem::path> QtFileDialog::present(const ui::FileRequest& request) {
    QFileDialog dialog(QtControl::widgetOf(request.owner));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const ui::FileFilter& filter : request.filters) {
        filters << qtNameFilter(filter);
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);  // the file and its folder must exist
    }
    // "*.*" and the like name no extension.
    const QString suffix = toQString(request.defaultExtension);
    if (!suffix.isEmpty() && !suffix.contains(QLatin1Char('*'))) {
        dialog.setDefaultSuffix(suffix.startsWith(QLatin1Char('.')) ? suffix.mid(1) : suffix);
    }
    if (!request.initialName.empty() && request.initialName.find('*') == std::string::npos) {
        dialog.selectFile(toQString(request.initialName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(toStdString(dialog.selectedFiles().front()));
}

}  // namespace korvane::qt
