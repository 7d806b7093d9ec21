// StrUtils: the text routines scripts use beyond SysUtils.
#include <algorithm>

#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"

namespace tev::script {

using namespace lib;

namespace {

qsizetype count(NativeCall &c, int i, qsizetype size)
{
    return static_cast<qsizetype>(std::clamp<qint64>(integer(c, i), 0, size));
}

qint64 indexIn(NativeCall &c, Qt::CaseSensitivity cs)
{
    const QString s = str(c, 0);
    const std::vector<Value> items = openArray(c, 1);
    for (size_t i = 0; i < items.size(); ++i)
        if (QString::compare(s, items[i].toString(), cs) == 0)
            return static_cast<qint64>(i);
    return -1;
}

} // namespace

void defineStrUtilsLibrary(ScriptEngine &e)
{
    def(e, "LeftStr", 2, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c, s.left(count(c, 1, s.size())));
    });
    def(e, "RightStr", 2, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c, s.right(count(c, 1, s.size())));
    });
    def(e, "MidStr", 3, [](NativeCall &c) {
        const QString s = str(c, 0);
        const qint64 from = std::max<qint64>(1, integer(c, 1));
        if (from > s.size())
            return ret(c, QString());
        ret(c, s.mid(static_cast<qsizetype>(from - 1), count(c, 2, s.size())));
    });
    def(e, "ReverseString", 1, [](NativeCall &c) {
        QString s = str(c, 0);
        std::reverse(s.begin(), s.end());
        ret(c, s);
    });
    def(e, "DupeString", 2, [](NativeCall &c) {
        const QString s = str(c, 0);
        const qint64 n = std::max<qint64>(0, integer(c, 1));
        checkLength(n * s.size());
        ret(c, s.repeated(static_cast<qsizetype>(n)));
    });
    def(e, "ContainsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 0).contains(str(c, 1), Qt::CaseSensitive)); });
    def(e, "ContainsText", 2,
        [](NativeCall &c) { ret(c, str(c, 0).contains(str(c, 1), Qt::CaseInsensitive)); });
    def(e, "AnsiContainsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 0).contains(str(c, 1), Qt::CaseSensitive)); });
    def(e, "AnsiContainsText", 2,
        [](NativeCall &c) { ret(c, str(c, 0).contains(str(c, 1), Qt::CaseInsensitive)); });
    def(e, "StartsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 1).startsWith(str(c, 0), Qt::CaseSensitive)); });
    def(e, "StartsText", 2,
        [](NativeCall &c) { ret(c, str(c, 1).startsWith(str(c, 0), Qt::CaseInsensitive)); });
    def(e, "EndsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 1).endsWith(str(c, 0), Qt::CaseSensitive)); });
    def(e, "EndsText", 2,
        [](NativeCall &c) { ret(c, str(c, 1).endsWith(str(c, 0), Qt::CaseInsensitive)); });
    def(e, "AnsiStartsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 1).startsWith(str(c, 0), Qt::CaseSensitive)); });
    def(e, "AnsiStartsText", 2,
        [](NativeCall &c) { ret(c, str(c, 1).startsWith(str(c, 0), Qt::CaseInsensitive)); });
    def(e, "AnsiEndsStr", 2,
        [](NativeCall &c) { ret(c, str(c, 1).endsWith(str(c, 0), Qt::CaseSensitive)); });
    def(e, "AnsiEndsText", 2,
        [](NativeCall &c) { ret(c, str(c, 1).endsWith(str(c, 0), Qt::CaseInsensitive)); });
    auto replace = [](NativeCall &c, Qt::CaseSensitivity cs) {
        if (str(c, 1).isEmpty())
            return ret(c, str(c, 0));
        QString s = str(c, 0);
        s.replace(str(c, 1), str(c, 2), cs);
        checkLength(s.size());
        ret(c, s);
    };
    def(e, "ReplaceStr", 3, [replace](NativeCall &c) { replace(c, Qt::CaseSensitive); });
    def(e, "ReplaceText", 3, [replace](NativeCall &c) { replace(c, Qt::CaseInsensitive); });
    def(e, "AnsiReplaceStr", 3, [replace](NativeCall &c) { replace(c, Qt::CaseSensitive); });
    def(e, "AnsiReplaceText", 3, [replace](NativeCall &c) { replace(c, Qt::CaseInsensitive); });
    def(
        e, "PosEx", 3,
        [](NativeCall &c) {
            const qint64 offset = has(c, 2) ? integer(c, 2) : 1;
            if (offset < 1)
                return ret(c, qint64(0));
            ret(c, qint64(str(c, 1).indexOf(str(c, 0), static_cast<qsizetype>(offset - 1)) + 1));
        },
        1);
    def(
        e, "IfThen", 3,
        [](NativeCall &c) {
            if (boolean(c, 0))
                return c.ReturnOutputArg(c.GetInputArg(1));
            c.ReturnOutputArg(has(c, 2) ? c.GetInputArg(2) : Value(QString()));
        },
        1);
    def(e, "IndexStr", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseSensitive)); });
    def(e, "IndexText", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseInsensitive)); });
    def(e, "AnsiIndexStr", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseSensitive)); });
    def(e, "AnsiIndexText", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseInsensitive)); });
    def(e, "MatchStr", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseSensitive) >= 0); });
    def(e, "MatchText", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseInsensitive) >= 0); });
    def(e, "AnsiMatchStr", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseSensitive) >= 0); });
    def(e, "AnsiMatchText", 2, [](NativeCall &c) { ret(c, indexIn(c, Qt::CaseInsensitive) >= 0); });
    def(e, "SplitString", 2, [](NativeCall &c) {
        const QString s = str(c, 0), delims = str(c, 1);
        std::vector<Value> parts;
        QString current;
        for (QChar ch : s) {
            if (delims.contains(ch)) {
                parts.emplace_back(current);
                current.clear();
            } else {
                current += ch;
            }
        }
        parts.emplace_back(current);
        c.ReturnOutputArg(Value::array(std::move(parts)));
    });
}

} // namespace tev::script
