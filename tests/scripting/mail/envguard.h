#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>

namespace tev::test {

// Sets or removes environment variables for one test and puts the previous values back when it
// ends, so a test that moves PATH or HOME leaves the next test in the same program unharmed.
class EnvGuard
{
public:
    EnvGuard() = default;
    ~EnvGuard()
    {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name.constData(), it->value);
            else
                qunsetenv(it->name.constData());
        }
    }
    EnvGuard(const EnvGuard &) = delete;
    EnvGuard &operator=(const EnvGuard &) = delete;

    void set(const char *name, const QByteArray &value)
    {
        remember(name);
        qputenv(name, value);
    }
    void unset(const char *name)
    {
        remember(name);
        qunsetenv(name);
    }

private:
    struct Saved
    {
        QByteArray name;
        bool wasSet;
        QByteArray value;
    };
    void remember(const char *name)
    {
        m_saved.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
    QList<Saved> m_saved;
};

} // namespace tev::test
