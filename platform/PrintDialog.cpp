// The print dialog on screen: all pages or a page range, and the PDF file when the machine has no
// printer.
#include "platform/Prompt.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <string>

namespace velmoran {

namespace {

// The PDF field grows with its path up to this width.
constexpr int kMaxPdfFieldWidth = 560;

}  // namespace

std::optional<std::string> PageRangeRefusal(const PrintDialogAnswer& answer)
{
    if (answer.AllPages || answer.FromPage <= answer.ToPage)
        return std::nullopt;
    return "Der Druckbereich von Seite " + std::to_string(answer.FromPage) + " bis Seite " +
           std::to_string(answer.ToPage) + " enthält keine Seite: „von“ darf nicht hinter „bis“ liegen.";
}

std::string ChosenPdfFileName(const PrintDialogOptions& options, const PrintDialogAnswer& answer)
{
    const std::string proposed = options.PdfFileName.value_or(std::string());
    if (answer.PdfFileName.empty())
        return proposed;
    const std::filesystem::path chosen(answer.PdfFileName);
    const std::filesystem::path folder = std::filesystem::path(proposed).parent_path();
    if (chosen.is_absolute() || folder.empty())
        return answer.PdfFileName;
    return (folder / chosen).lexically_normal().string();
}

std::optional<PrintDialogAnswer> RunPrintDialog(const PrintDialogOptions& options)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* all = new QRadioButton(QStringLiteral("&Alles"), &dialog);
    auto* range = new QRadioButton(QStringLiteral("&Seiten"), &dialog);
    auto* from = new QSpinBox(&dialog);
    auto* to = new QSpinBox(&dialog);
    from->setRange(options.MinPage, options.MaxPage);
    to->setRange(options.MinPage, options.MaxPage);
    from->setValue(std::clamp(options.FromPage, options.MinPage, options.MaxPage));
    to->setValue(std::clamp(options.ToPage, options.MinPage, options.MaxPage));
    all->setChecked(true);
    range->setEnabled(options.PageNumbersSelectable);
    from->setEnabled(false);
    to->setEnabled(false);
    QObject::connect(range, &QRadioButton::toggled, &dialog, [from, to](bool on) {
        from->setEnabled(on);
        to->setEnabled(on);
    });
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(range);
    rangeRow->addWidget(new QLabel(QStringLiteral("von:"), &dialog));
    rangeRow->addWidget(from);
    rangeRow->addWidget(new QLabel(QStringLiteral("bis:"), &dialog));
    rangeRow->addWidget(to);
    layout->addWidget(new QLabel(QStringLiteral("Druckbereich"), &dialog));
    layout->addWidget(all);
    layout->addLayout(rangeRow);

    QLineEdit* file = nullptr;
    if (options.PdfFileName) {
        auto* fileRow = new QHBoxLayout;
        file = new QLineEdit(QString::fromStdString(*options.PdfFileName), &dialog);
        file->setObjectName(QStringLiteral("PdfFile"));
        // Wide enough for a usual path; a longer one shows its end, so that the file name is
        // always whole, and the whole path is the field's tip.
        file->setMinimumWidth(
            std::clamp(file->fontMetrics().horizontalAdvance(file->text()) + 16, 240, kMaxPdfFieldWidth));
        file->setCursorPosition(static_cast<int>(file->text().size()));
        file->setToolTip(file->text());
        QObject::connect(file, &QLineEdit::textChanged, &dialog, [file] { file->setToolTip(file->text()); });
        auto* browse = new QPushButton(QStringLiteral("Durchsuchen…"), &dialog);
        // The program's own file dialog, German as the open and save dialogs are.
        QObject::connect(browse, &QPushButton::clicked, &dialog, [file] {
            FileDialogOptions choice;
            choice.Title = "PDF-Datei";
            choice.Filter = "PDF-Dateien (*.pdf)|*.pdf";
            choice.DefaultExt = "pdf";
            choice.FileName = file->text().toStdString();
            // The print asks before it replaces a file: once is enough.
            choice.ConfirmOverwrite = false;
            if (const std::optional<std::string> name = Prompts().SaveFileDialog(choice)) {
                file->setText(QString::fromStdString(*name));
                file->setCursorPosition(static_cast<int>(file->text().size()));
            }
        });
        fileRow->addWidget(new QLabel(QStringLiteral("PDF-Datei:"), &dialog));
        fileRow->addWidget(file, 1);
        fileRow->addWidget(browse);
        layout->addLayout(fileRow);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    const auto chosen = [&] {
        PrintDialogAnswer answer;
        answer.AllPages = all->isChecked();
        answer.FromPage = answer.AllPages ? options.MinPage : from->value();
        answer.ToPage = answer.AllPages ? options.MaxPage : to->value();
        if (file)
            answer.PdfFileName = file->text().trimmed().toStdString();
        return answer;
    };
    // A range that holds no page is refused where it was typed; the dialog stays open on it.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (const std::optional<std::string> refusal = PageRangeRefusal(chosen())) {
            Prompts().ShowError(*refusal);
            from->setFocus();
            from->selectAll();
            return;
        }
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen();
}

}  // namespace velmoran
