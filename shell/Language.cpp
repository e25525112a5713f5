// The system language and the language level of module template folders; see Language.h.
#include "shell/Language.h"

#include <filesystem>
#include <system_error>

namespace velmoran {

std::string LanguageCodeOf(const QLocale& locale)
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return {};
    return QLocale::languageToCode(locale.language(), QLocale::ISO639Part1).toStdString();
}

std::string SystemLanguageCode()
{
    return LanguageCodeOf(QLocale::system());
}

std::string LanguageTemplateFolder(const std::string& templatePath, const std::string& languageCode,
                                   const std::string& name)
{
    if (!languageCode.empty()) {
        const std::string folder = templatePath + languageCode + "/" + name + "/";
        std::error_code error;
        if (std::filesystem::is_directory(folder, error))
            return folder;
    }
    return templatePath + "de/" + name + "/";
}

}  // namespace velmoran
