#include "core/lang/languages.h"

#include <QHash>
#include <utility>

namespace tev {

namespace {

quint8 g_currentLanguage = kLangEnglish;

// The Windows primary language number of a Qt language, for the languages whose number the
// program's ids reuse and their neighbours; any other language has none (0).
int primaryLanguageNumber(QLocale::Language language)
{
    static const QHash<QLocale::Language, int> numbers = {
        {QLocale::Arabic, 0x01},    {QLocale::Bulgarian, 0x02},
        {QLocale::Catalan, 0x03},   {QLocale::Chinese, 0x04},
        {QLocale::Czech, 0x05},     {QLocale::Danish, 0x06},
        {QLocale::German, 0x07},    {QLocale::Greek, 0x08},
        {QLocale::English, 0x09},   {QLocale::Spanish, 0x0A},
        {QLocale::Finnish, 0x0B},   {QLocale::French, 0x0C},
        {QLocale::Hebrew, 0x0D},    {QLocale::Hungarian, 0x0E},
        {QLocale::Icelandic, 0x0F}, {QLocale::Italian, 0x10},
        {QLocale::Japanese, 0x11},  {QLocale::Korean, 0x12},
        {QLocale::Dutch, 0x13},     {QLocale::NorwegianBokmal, 0x14},
        {QLocale::Polish, 0x15},    {QLocale::Portuguese, 0x16},
        {QLocale::Romanian, 0x18},  {QLocale::Russian, 0x19},
        {QLocale::Croatian, 0x1A},  {QLocale::Slovak, 0x1B},
        {QLocale::Albanian, 0x1C},  {QLocale::Swedish, 0x1D},
        {QLocale::Thai, 0x1E},      {QLocale::Turkish, 0x1F},
    };
    return numbers.value(language, 0);
}

// The program's own table of localised texts, keyed by text number + 1000 * language id.
const QHash<quint32, QString> &textTable()
{
    struct Text
    {
        int number;
        quint8 language;
        const char16_t *text;
    };
    static const Text texts[] = {
        {kTextOK, kLangGerman, u"OK"},
        {kTextCancel, kLangGerman, u"Abbrechen"},
        {kTextSystemLanguage, kLangGerman,
         u"Lokale Sprache (Englisch, falls die lokale Sprache nicht unterstützt wird)"},
        {kTextSupportContacts, kLangGerman, u"Support-Kontakte"},
        {kTextOK, kLangEnglish, u"OK"},
        {kTextCancel, kLangEnglish, u"Cancel"},
        {kTextSystemLanguage, kLangEnglish,
         u"Local language (English if local language is not supported)"},
        {kTextSupportContacts, kLangEnglish, u"Support contacts"},
        {kTextOK, kLangItalian, u"OK"},
        {kTextCancel, kLangItalian, u"Annulla"},
        {kTextSystemLanguage, kLangItalian,
         u"Lingua locale (inglese se la lingua locale non è supportata)"},
        {kTextSupportContacts, kLangItalian, u"Contatti di assistenza"},
        {kTextOK, kLangPortuguese, u"OK"},
        {kTextCancel, kLangPortuguese, u"Cancelar"},
        {kTextSystemLanguage, kLangPortuguese,
         u"Idioma local (inglês se o idioma local não for suportado)"},
        {kTextSupportContacts, kLangPortuguese, u"Contactos de suporte"},
    };
    static const QHash<quint32, QString> table = [] {
        QHash<quint32, QString> t;
        for (const Text &text : texts)
            t.insert(quint32(text.number) + 1000u * text.language, QString::fromUtf16(text.text));
        return t;
    }();
    return table;
}

} // namespace

const QList<quint8> &SupportedLanguages()
{
    static const QList<quint8> languages = {kLangGerman, kLangEnglish, kLangItalian,
                                            kLangPortuguese};
    return languages;
}

bool IsSupportedLanguage(int Id)
{
    return Id >= 0 && Id <= 255 && SupportedLanguages().contains(quint8(Id));
}

quint8 CurrentLanguage()
{
    return g_currentLanguage;
}

void SetCurrentLanguage(quint8 Id)
{
    g_currentLanguage = Id;
}

QString LanguageName(int Id)
{
    switch (Id) {
    case 4:
        return QStringLiteral("Chinese");
    case 7:
        return QStringLiteral("Deutsch");
    case 9:
        return QStringLiteral("English");
    case 10:
        return QStringLiteral(u"Esnañol"); // sic: the name as the program has always shown it
    case 12:
        return QStringLiteral(u"Français");
    case 16:
        return QStringLiteral("Italiano");
    case 17:
        return QStringLiteral("Japanese");
    case 21:
        return QStringLiteral("Polski");
    case 150:
        return QStringLiteral(u"Português");
    default:
        return QStringLiteral("Not defined");
    }
}

quint8 LanguageByName(const QString &Name)
{
    for (int id = 0; id <= 255; ++id) {
        if (LanguageName(id) == Name)
            return quint8(id);
    }
    return 255;
}

quint8 GetSystemLanguage(const QLocale &Locale)
{
    const int number = primaryLanguageNumber(Locale.language()) & 0xFF;
    return IsSupportedLanguage(number) ? quint8(number) : kLangEnglish;
}

quint8 GetSystemLanguage()
{
    return GetSystemLanguage(QLocale::system());
}

QString LoadLangString(int Id, int Lang)
{
    const qint64 key = qint64(Id) + 1000 * qint64(Lang);
    if (key < 0 || key > 0xFFFFFFFFLL)
        return {};
    return textTable().value(quint32(key)).left(kMaxLangStringLength);
}

QString LangStr(int Id)
{
    return LoadLangString(Id, CurrentLanguage());
}

} // namespace tev
