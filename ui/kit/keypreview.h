#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QWidget;

namespace tev {

// The keys the program's dialogs give a meaning to.
enum class DialogKey {
    Other,
    Enter,  // Key_Return or Key_Enter (the keypad's)
    Escape, // only where a dialog gives it a meaning
    Cancel, // "key code 3": Qt's Key_Cancel, or Ctrl+Break (Ctrl+Pause on PC keyboards)
};

DialogKey classifyKey(const QKeyEvent &event);

// Key preview: a form sees every key press meant for any of its widgets before that widget does,
// whichever control has the focus. The handler must not consume the key; it is passed on.
//
// Qt offers no key preview, so the filter sits on the application and picks the presses whose
// receiver lies inside the form (popups such as a combo box's list count as inside). Qt hands a
// press that a child ignores on to its parents; the filter calls the handler once per press.
class KeyPreviewFilter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QKeyEvent &)>;

    // The filter is a child of form and ends with it.
    KeyPreviewFilter(QWidget *form, Handler handler);
    ~KeyPreviewFilter() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isInsideForm(const QWidget *widget) const;

    QWidget *m_form;
    Handler m_handler;
    // The press last handed to the handler and where it was, to skip its propagation to parents.
    const QEvent *m_lastEvent = nullptr;
    QPointer<QWidget> m_lastReceiver;
};

} // namespace tev
