// typein --type money|float|numeric|mixed|string|upper|lower|password|range|hex [--precision N]
//        [--prefix P] [--suffix S] [--value V] [KEYS ...] [--exit]
// drives a real typed edit offscreen in the German number settings: --value writes FloatValue,
// the KEYS are typed one character at a time through the edit's key handling, --exit moves the
// focus away at the end. Prints the control text ("Anzeige") and the value ("Text").
#include "controls/EnhEdit.h"
#include "platform/Application.h"
#include "platform/core/NumberFormat.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>

namespace {

using namespace velmoran;

struct Options {
    TEnhEditType Type = TEnhEditType::etString;
    std::optional<int> Precision;
    std::string Prefix;
    std::string Suffix;
    std::optional<double> Value;
    std::u16string Keys;
    bool Exit = false;
};

const std::map<std::string, TEnhEditType>& TypeNames()
{
    static const std::map<std::string, TEnhEditType> names = {
        {"string", TEnhEditType::etString},     {"numeric", TEnhEditType::etNumeric},
        {"float", TEnhEditType::etFloat},       {"upper", TEnhEditType::etUppercase},
        {"mixed", TEnhEditType::etMixedCase},   {"lower", TEnhEditType::etLowerCase},
        {"password", TEnhEditType::etPassword}, {"money", TEnhEditType::etMoney},
        {"range", TEnhEditType::etRange},       {"hex", TEnhEditType::etHex},
    };
    return names;
}

// A number in the German settings or with a decimal point.
std::optional<double> ParseNumber(const std::string& text)
{
    if (const auto value = TryStrToFloat(text, FormatSettings::German()))
        return value;
    FormatSettings point;
    point.DecimalSeparator = '.';
    point.ThousandSeparator = ',';
    return TryStrToFloat(text, point);
}

bool Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == "--type" && more) {
            const auto found = TypeNames().find(argv[++i]);
            if (found == TypeNames().end())
                return false;
            o.Type = found->second;
        } else if (arg == "--precision" && more) {
            o.Precision = std::atoi(argv[++i]);
        } else if (arg == "--prefix" && more) {
            o.Prefix = argv[++i];
        } else if (arg == "--suffix" && more) {
            o.Suffix = argv[++i];
        } else if (arg == "--value" && more) {
            o.Value = ParseNumber(argv[++i]);
            if (!o.Value)
                return false;
        } else if (arg == "--exit") {
            o.Exit = true;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            o.Keys += QString::fromLocal8Bit(arg.c_str()).toStdU16String();
        }
    }
    return true;
}

void TypeKey(QWidget* edit, char16_t ch)
{
    const QChar c(ch);
    const int key = c.isLetter() ? c.toUpper().unicode() : c.unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &release);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::cerr << "Aufruf: typein --type money|float|numeric|mixed|string|upper|lower|password|range|hex "
                     "[--precision N] [--prefix P] [--suffix S] [--value V] [TASTEN] [--exit]\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const ScopedFormatSettings german(FormatSettings::German());

    QWidget window;
    window.resize(320, 80);
    auto* edit = new TEnhEdit(&window);
    edit->setGeometry(10, 10, 300, 21);
    auto* next = new QLineEdit(&window);
    next->setGeometry(10, 40, 300, 21);
    edit->SetEditType(options.Type);
    if (options.Precision)
        edit->SetPrecision(*options.Precision);
    edit->SetPrefix(options.Prefix);
    edit->SetSuffix(options.Suffix);
    edit->Loaded();
    if (options.Value)
        edit->SetFloatValue(*options.Value);

    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    for (const char16_t ch : options.Keys)
        TypeKey(edit, ch);
    if (options.Exit) {
        next->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    std::cout << "Anzeige: " << edit->text().toStdString() << "\n"
              << "Text:    " << edit->Text() << "\n";
    return 0;
}
