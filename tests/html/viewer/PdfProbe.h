// Looking into the PDFs the print tests produce: the number of pages (its "/Type /Page" objects),
// the text of one page through pdftotext, and the words of a page with their boxes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <string>
#include <vector>

namespace velmoran::test {

inline int PdfPageCount(const std::string& file)
{
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    int count = 0;
    for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0; at = bytes.indexOf("/Type /Page", at + 1)) {
        if (at + 11 >= bytes.size() || bytes[at + 11] != 's')
            ++count;
    }
    return count;
}

inline std::string PdfToText(const std::string& file, int page, bool bbox = false)
{
    QProcess process;
    QStringList args{QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page)};
    args << (bbox ? QStringLiteral("-bbox") : QStringLiteral("-layout"));
    args << QString::fromStdString(file) << QStringLiteral("-");
    process.start(QStringLiteral("pdftotext"), args);
    process.waitForFinished(60000);
    return process.readAllStandardOutput().toStdString();
}

struct PdfWord {
    double XMin, YMin, XMax, YMax;
    std::string Text;
};

inline std::vector<PdfWord> PdfWords(const std::string& file, int page)
{
    std::vector<PdfWord> words;
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    const QString text = QString::fromStdString(PdfToText(file, page, true));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble(), m.captured(5).toStdString()});
    }
    return words;
}

// The first word of a page with that text; null when there is none.
inline const PdfWord* FindWord(const std::vector<PdfWord>& words, const std::string& text)
{
    for (const PdfWord& w : words)
        if (w.Text == text)
            return &w;
    return nullptr;
}

}  // namespace velmoran::test
