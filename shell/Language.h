// The language of the system locale, which chooses the folder of a module's templates and
// defaults below the template root.
#pragma once

#include <QLocale>

#include <string>

namespace velmoran {

// The locale's ISO 639 language code ("de", "en"); empty for the C (POSIX) locale.
std::string LanguageCodeOf(const QLocale& locale);
// The system locale's code, as the program reads it once at start.
std::string SystemLanguageCode();

// The template folder of a built-in module: templatePath + language + "/" + name + "/" when that
// folder exists, else the German one, templatePath + "de/" + name + "/": the templates and
// defaults that come with the program are German, and a module without its defaults files
// would start every calculation from nothing.
std::string LanguageTemplateFolder(const std::string& templatePath, const std::string& languageCode,
                                   const std::string& name);

}  // namespace velmoran
