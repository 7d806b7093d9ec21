#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QtGlobal>

// The program's languages and its own table of localised texts.
//
// A language id is one byte. All ids but 150 equal the primary language number of the Windows
// locale identifiers (7 German, 9 English, 16 Italian); 150 is the program's own id for
// Portuguese, whose locale number 22 the program does not offer. A localised text is found under
// the key text number + 1000 * language id, so keys are 32 bits wide (language 150 gives keys
// above 65535). A text missing in a language gives the empty text, with no fallback.
//
// The current language is program-wide state, used from the main thread only.
namespace tev {

// Language ids used by the program.
inline constexpr quint8 kLangGerman = 7;
inline constexpr quint8 kLangEnglish = 9;
inline constexpr quint8 kLangItalian = 16;
inline constexpr quint8 kLangPortuguese = 150;

// A localised text is cut to this many characters.
inline constexpr int kMaxLangStringLength = 254;

// Text numbers in use.
inline constexpr int kTextOK = 101;
inline constexpr int kTextCancel = 102;
inline constexpr int kTextSystemLanguage = 248;
inline constexpr int kTextSupportContacts = 369;

// The languages the program offers, in ascending order: 7, 9, 16, 150.
const QList<quint8> &SupportedLanguages();
bool IsSupportedLanguage(int Id);

// The current language; 9 at program start.
quint8 CurrentLanguage();
void SetCurrentLanguage(quint8 Id);

// The native name of a language id; "Not defined" for an id without one.
QString LanguageName(int Id);
// The first id 0..255 whose LanguageName equals Name exactly (with case); 255 when none does.
quint8 LanguageByName(const QString &Name);

// The user's language: the primary language of the user's locale when the program offers it,
// else 9 (English).
quint8 GetSystemLanguage();
quint8 GetSystemLanguage(const QLocale &Locale);

// The text Id in language Lang (key Id + Lang * 1000), at most kMaxLangStringLength characters;
// empty when the table has no such text.
QString LoadLangString(int Id, int Lang);
// LoadLangString(Id, CurrentLanguage()).
QString LangStr(int Id);

} // namespace tev
