// Dialogs: ShowMessage, MessageDlg and the input boxes, through the engine's UI service.
#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"
#include "platform/script/uiservice.h"

namespace tev::script {

using namespace lib;

namespace {

// The dialog's buttons as flags: a set ([mbYes, mbNo]) or a number already holding the flags.
int buttonFlags(const Value &v)
{
    if (v.isArray()) {
        int flags = 0;
        for (const Value &b : v.rawArray().items)
            flags |= 1 << std::clamp<qint64>(b.toInteger(), 0, 30);
        return flags;
    }
    return static_cast<int>(v.toInteger());
}

// Without a UI service the answer is the dialog's default button.
int defaultAnswer(int flags)
{
    if (flags & (1 << 2))
        return 1; // mrOk
    if (flags & (1 << 0))
        return 6; // mrYes
    return 2;     // mrCancel
}

} // namespace

void defineDialogsLibrary(ScriptEngine &e)
{
    static const char *const types[] = {"mtWarning", "mtError", "mtInformation", "mtConfirmation",
                                        "mtCustom"};
    for (int i = 0; i < 5; ++i)
        e.AddConstant(QLatin1String(types[i]), Value(qint64(i)));
    static const char *const buttons[] = {"mbYes",     "mbNo",       "mbOK",     "mbCancel",
                                          "mbAbort",   "mbRetry",    "mbIgnore", "mbAll",
                                          "mbNoToAll", "mbYesToAll", "mbHelp",   "mbClose"};
    for (int i = 0; i < 12; ++i)
        e.AddConstant(QLatin1String(buttons[i]), Value(qint64(i)));
    auto set = [](std::initializer_list<int> items) {
        std::vector<Value> v;
        for (int i : items)
            v.emplace_back(qint64(i));
        return Value::array(std::move(v));
    };
    e.AddConstant(QStringLiteral("mbYesNo"), set({0, 1}));
    e.AddConstant(QStringLiteral("mbYesNoCancel"), set({0, 1, 3}));
    e.AddConstant(QStringLiteral("mbOKCancel"), set({2, 3}));
    e.AddConstant(QStringLiteral("mbAbortRetryIgnore"), set({4, 5, 6}));

    def(
        e, "ShowMessage", 1,
        [](NativeCall &c) {
            if (UiService *ui = c.engine()->uiService())
                ui->showMessage(str(c, 0));
            else
                c.engine()->output(str(c, 0) + QLatin1Char('\n'));
        },
        0, TypeKind::tkNone);
    def(
        e, "MessageDlg", 4,
        [](NativeCall &c) {
            const int flags = buttonFlags(c.GetInputArg(2));
            if (UiService *ui = c.engine()->uiService())
                return ret(
                    c, qint64(ui->messageDlg(str(c, 0), static_cast<int>(integer(c, 1)), flags)));
            c.engine()->output(str(c, 0) + QLatin1Char('\n'));
            ret(c, qint64(defaultAnswer(flags)));
        },
        1);
    def(e, "InputBox", 3, [](NativeCall &c) {
        QString value = str(c, 2);
        if (UiService *ui = c.engine()->uiService()) {
            if (!ui->inputQuery(str(c, 0), str(c, 1), value))
                value = str(c, 2);
        }
        ret(c, value);
    });
    def(e, "InputQuery", 3, [](NativeCall &c) {
        QString value = str(c, 2);
        UiService *ui = c.engine()->uiService();
        const bool ok = ui && ui->inputQuery(str(c, 0), str(c, 1), value);
        if (ok)
            c.SetInputArg(2, Value(value));
        ret(c, ok);
    }).SetVarArgs({2});
}

} // namespace tev::script
