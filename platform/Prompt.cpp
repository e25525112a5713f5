// The default message boxes and folder browser (Qt).
#include "platform/Prompt.h"

#include "platform/FileDialogColumns.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QTimer>

namespace velmoran {

namespace {

// The filter list's patterns as the file dialog writes them: "*.*" is every file.
std::string DialogPatterns(std::string_view patterns)
{
    std::string result;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        std::string pattern = Trim(patterns.substr(start, end - start));
        if (pattern == "*.*")
            pattern = "*";
        if (!pattern.empty())
            result += (result.empty() ? "" : " ") + pattern;
        start = end + 1;
    }
    return result;
}

// A description without the patterns it names in parentheses at its end.
std::string BareDescription(std::string_view description)
{
    std::string text = Trim(description);
    if (!text.empty() && text.back() == ')') {
        const std::size_t open = text.rfind('(');
        if (open != std::string::npos)
            text = Trim(std::string_view(text).substr(0, open));
    }
    return text;
}

// Qt's own dialogs rather than the desktop's, so that they look the same everywhere, in German:
// the labels, the size and date columns worded by the program's locale rather than the system's,
// and the columns wide enough for the German texts. Every file dialog and folder browser of the
// program is set up here.
void GermanFileDialog(QFileDialog& dialog, const char* fileName, const char* accept)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setProxyModel(new FileDialogColumns(&dialog));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8(fileName));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    FitFileDialogColumns(dialog);
}

// A file dialog that says why a chosen name is refused before it asks whether to replace the
// file, and stays open for another name.
class RefusingFileDialog : public QFileDialog {
public:
    RefusingFileDialog(const FileDialogOptions& options)
        : QFileDialog(QApplication::activeWindow(), QString::fromStdString(options.Title),
                      QString::fromStdString(options.InitialDir)),
          refusal_(options.Refusal)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (refusal_ && acceptMode() == AcceptSave && !files.isEmpty())
            if (const std::optional<std::string> refusal = refusal_(files.front().toStdString())) {
                Prompts().ShowError(*refusal);
                // Back to the name, selected, so that what the user types next replaces it.
                activateWindow();
                if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                    name->setFocus();
                    name->selectAll();
                }
                return;
            }
        QFileDialog::accept();
    }

private:
    std::function<std::optional<std::string>(const std::string&)> refusal_;
};

std::optional<std::string> RunFileDialog(const FileDialogOptions& options, bool save)
{
    RefusingFileDialog dialog(options);
    GermanFileDialog(dialog, "Dateiname:", save ? "Speichern" : "Öffnen");
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.ConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const std::string& filter : NameFilters(options.Filter))
        filters << QString::fromStdString(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!options.DefaultExt.empty() && options.DefaultExt.find_first_of("*?") == std::string::npos)
        dialog.setDefaultSuffix(QString::fromStdString(options.DefaultExt));
    if (!options.FileName.empty())
        dialog.selectFile(QString::fromStdString(options.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

// Where a message may break a line that has no blank: the box wraps at word boundaries only, so
// that a long file name ran past its right edge. Marks that take no room let it break after each
// "/" of a long word, and within any stretch still longer than kLongestRun characters. (The box's
// text cannot be selected, so the marks never reach the clipboard.)
constexpr QChar kBreakChance(0x200B);
constexpr int kLongestRun = 40;

QString Breakable(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / kLongestRun * 2);
    bool longWord = false;
    int run = 0;  // characters since the last blank or break mark
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            result += c;
            run = 0;
            continue;
        }
        if (i == 0 || text.at(i - 1).isSpace()) {
            int end = i;
            while (end < text.size() && !text.at(end).isSpace())
                ++end;
            longWord = end - i > kLongestRun;
        }
        // Never between the halves of a character outside the basic plane.
        if (run >= kLongestRun && !c.isLowSurrogate()) {
            result += kBreakChance;
            run = 0;
        }
        result += c;
        ++run;
        if (longWord && c == QLatin1Char('/')) {
            result += kBreakChance;
            run = 0;
        }
    }
    return result;
}

class ScreenPromptService : public PromptService {
public:
    int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(QStringLiteral("Velmoran"));
        // Plain text: a file name with "<" in it is shown as it is, never taken for markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(Breakable(QString::fromStdString(text)));
        switch (type) {
        case MsgDlgType::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgDlgType::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgDlgType::Information: box.setIcon(QMessageBox::Information); break;
        case MsgDlgType::Confirmation: box.setIcon(QMessageBox::Question); break;
        case MsgDlgType::Custom: break;
        }
        struct Choice {
            MsgDlgButton Button;
            const char* Caption;
            QMessageBox::ButtonRole Role;
            int Result;
        };
        static const Choice kChoices[] = {
            {mbYes, "&Ja", QMessageBox::YesRole, mrYes},
            {mbNo, "&Nein", QMessageBox::NoRole, mrNo},
            {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
            {mbCancel, "Abbrechen", QMessageBox::RejectRole, mrCancel},
            {mbAbort, "&Abbrechen", QMessageBox::RejectRole, mrAbort},
            {mbRetry, "&Wiederholen", QMessageBox::AcceptRole, mrRetry},
            {mbIgnore, "&Ignorieren", QMessageBox::AcceptRole, mrIgnore},
        };
        std::vector<std::pair<QAbstractButton*, int>> made;
        for (const Choice& choice : kChoices)
            if (buttons & choice.Button)
                made.emplace_back(box.addButton(QString::fromUtf8(choice.Caption), choice.Role), choice.Result);
        if (made.empty())
            made.emplace_back(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole), mrOk);
        box.exec();
        for (const auto& [button, result] : made)
            if (box.clickedButton() == button)
                return result;
        return (buttons & mbCancel) ? mrCancel : mrNone;
    }

    // Qt's own folder browser rather than the desktop's, so that it looks the same everywhere and
    // can be placed.
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startFolder,
                                            const BrowseFolderOptions& options) override
    {
        QWidget* owner = QApplication::activeWindow();
        QFileDialog dialog(owner, QString::fromStdString(title.empty() ? "Verzeichnis auswählen" : title),
                           QString::fromStdString(startFolder));
        dialog.setFileMode(QFileDialog::Directory);
        QFileDialog::Options flags = QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly;
        if (options.NoNewFolderButton)
            flags |= QFileDialog::ReadOnly;
        dialog.setOptions(flags);
        GermanFileDialog(dialog, "Verzeichnis:", "Auswählen");
        if (options.Place) {
            QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
            // Once shown, when the dialog has its size.
            QTimer::singleShot(0, &dialog, [&dialog, &options, screen] {
                const QRect area = screen ? screen->geometry() : QRect();
                const QSize size = dialog.frameGeometry().size();
                const auto place = options.Place(TSize{size.width(), size.height()},
                                                 TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
                if (place)
                    dialog.move(place->X, place->Y);
            });
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }

    std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override
    {
        return RunFileDialog(options, false);
    }

    std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override
    {
        return RunSaveFileDialog(options);
    }

    std::optional<PrintDialogAnswer> PrintDialog(const PrintDialogOptions& options) override
    {
        return RunPrintDialog(options);
    }
};

PromptService*& Installed()
{
    static PromptService* service = nullptr;
    return service;
}

}  // namespace

std::optional<std::string> PromptService::BrowseFolder(const std::string&, const std::string&,
                                                       const BrowseFolderOptions&)
{
    return std::nullopt;
}

std::optional<std::string> PromptService::OpenFileDialog(const FileDialogOptions&)
{
    return std::nullopt;
}

std::optional<std::string> PromptService::SaveFileDialog(const FileDialogOptions&)
{
    return std::nullopt;
}

std::optional<PrintDialogAnswer> PromptService::PrintDialog(const PrintDialogOptions&)
{
    return std::nullopt;
}

std::optional<std::string> RunSaveFileDialog(const FileDialogOptions& options)
{
    return RunFileDialog(options, true);
}

std::vector<std::string> NameFilters(const std::string& filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t end = std::min(filter.find('|', start), filter.size());
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string patterns = DialogPatterns(parts[i + 1]);
        if (!patterns.empty())
            filters.push_back(BareDescription(parts[i]) + " (" + patterns + ")");
    }
    return filters;
}

PromptService& Prompts()
{
    static ScreenPromptService screen;
    PromptService* service = Installed();
    return service ? *service : screen;
}

PromptService* SetPromptService(PromptService* service)
{
    PromptService* previous = Installed();
    Installed() = service;
    return previous;
}

}  // namespace velmoran
