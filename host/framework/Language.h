#pragma once
// The language of the texts the runtime and the screens show: Qt translation catalogues built
// into the runtime, one per language.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <string>
#include <string_view>
#include <vector>

namespace qmr {

/// Chooses the catalogue for `name` ("pt_BR", "es", "en_US.UTF-8"...): the most specific of the
/// runtime's catalogues that fits (es_AR gets es). Returns false when none fits; the texts then
/// stay as laid out. Needs the application object, which owns the installed catalogue.
QMR_RUNTIME_EXPORT bool setLanguage(std::string_view name);
/// The language of the chosen catalogue ("pt_BR"), or empty while the texts stay as laid out.
QMR_RUNTIME_EXPORT std::string language();
/// The language the user's locale names for messages (LC_ALL, then LC_MESSAGES, then LANG, as
/// POSIX orders them), or empty for the C or POSIX locale or none at all.
QMR_RUNTIME_EXPORT std::string localeLanguage();

/// `text` in the chosen language, looked up under `context`; %1, %2... are replaced by
/// `arguments` after the lookup, so a catalogue can move them.
QMR_RUNTIME_EXPORT AnsiString translate(const char* context, const char* text,
                                        const std::vector<AnsiString>& arguments = {});

} // namespace qmr
