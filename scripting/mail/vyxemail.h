#pragma once

#include "scripting/mail/sslnames.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

namespace tev {

// TvyxEMail sends one message over SMTP with libcurl. Scripts create it, fill its properties and
// call Send; the properties are Qt properties so that the script library can expose the class
// from its meta-object alone.
//
// The port decides the transport: 25 is plain SMTP, 587 is STARTTLS and required (a server
// without it gets nothing, not even the password), any other port is TLS from the first byte.
// SSLVersion is the lowest TLS version accepted; "SSL 2" and "SSL 3" no longer exist in the TLS
// library and fail at Send. The server's certificate is verified against the system's store;
// to trust another CA, put the path of its PEM file in the environment variable
// TEVORA_MAIL_CA_BUNDLE. That file takes the place of the system's bundle file, while the
// system's certificate folder (/etc/ssl/certs on Debian) stays trusted.
//
// Recipients, CC addresses and attachments accumulate over the component's life; an empty entry
// is skipped. Every failure of Send throws tev::Error naming its cause; the connection is closed
// in every case.
class TvyxEMail : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Attachments READ GetAttachments WRITE SetAttachments)
    Q_PROPERTY(QString Body READ GetBody WRITE SetBody)
    Q_PROPERTY(QString CC READ GetCC WRITE SetCC)
    Q_PROPERTY(QString Host READ GetHost WRITE SetHost)
    Q_PROPERTY(QString Password READ GetPassword WRITE SetPassword)
    Q_PROPERTY(quint16 Port READ GetPort WRITE SetPort)
    Q_PROPERTY(QString RecipientEMail READ GetRecipientEMail WRITE SetRecipientEMail)
    Q_PROPERTY(QString SenderEMail READ GetSenderEMail WRITE SetSenderEMail)
    Q_PROPERTY(QString SenderName READ GetSenderName WRITE SetSenderName)
    Q_PROPERTY(QString Subject READ GetSubject WRITE SetSubject)
    Q_PROPERTY(QString UserName READ GetUserName WRITE SetUserName)
    Q_PROPERTY(QString SSLCertFile READ GetSSLCertFile WRITE SetSSLCertFile)
    Q_PROPERTY(QString SSLKeyFile READ GetSSLKeyFile WRITE SetSSLKeyFile)
    Q_PROPERTY(int SSLVersion READ GetSSLVersion WRITE SetSSLVersion)

public:
    // Bounds on waiting for the server: a connection that does not open, or a server that stops
    // answering or taking data, must not hang the main thread, where scripts run.
    static constexpr std::chrono::seconds DefaultConnectTimeout{30};
    static constexpr std::chrono::seconds DefaultResponseTimeout{60};

    Q_INVOKABLE explicit TvyxEMail(QObject *owner = nullptr);

    // Sends the message. Throws tev::Error.
    Q_INVOKABLE void Send();

    // The file names without folder, joined with ";".
    QString GetAttachments() const;
    // Adds one attachment per ";" separated part; the part is the file's path.
    void SetAttachments(const QString &value);
    // The body's lines, each followed by CR LF.
    QString GetBody() const;
    void SetBody(const QString &value);
    // Every CC address followed by ";".
    QString GetCC() const;
    void SetCC(const QString &value);
    QString GetHost() const { return m_host; }
    void SetHost(const QString &value) { m_host = value; }
    QString GetPassword() const { return m_password; }
    void SetPassword(const QString &value) { m_password = value; }
    quint16 GetPort() const { return m_port; }
    // Sets the port and the transport that goes with it.
    void SetPort(quint16 value);
    // Every To address followed by ";".
    QString GetRecipientEMail() const;
    void SetRecipientEMail(const QString &value);
    QString GetSenderEMail() const { return m_senderEMail; }
    void SetSenderEMail(const QString &value) { m_senderEMail = value; }
    QString GetSenderName() const { return m_senderName; }
    void SetSenderName(const QString &value) { m_senderName = value; }
    QString GetSubject() const { return m_subject; }
    void SetSubject(const QString &value) { m_subject = value; }
    QString GetUserName() const { return m_userName; }
    void SetUserName(const QString &value) { m_userName = value; }
    QString GetSSLCertFile() const { return m_sslCertFile; }
    void SetSSLCertFile(const QString &value) { m_sslCertFile = value; }
    QString GetSSLKeyFile() const { return m_sslKeyFile; }
    void SetSSLKeyFile(const QString &value) { m_sslKeyFile = value; }
    int GetSSLVersion() const { return m_sslVersion; }
    void SetSSLVersion(int value) { m_sslVersion = value; }

    // The transport the port chose (not a script property).
    TLSMode tlsMode() const { return m_tlsMode; }
    // The attachments' full paths, the To and CC addresses as held.
    QStringList attachmentPaths() const { return m_attachments; }
    QStringList recipients() const { return m_recipients; }
    QStringList ccAddresses() const { return m_cc; }

    // For tests only, never set by the program: connect to another host and port than the
    // address names (libcurl's connect-to entries "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT"),
    // so test servers on free ports still get the transport of the port they stand in for; and
    // shorter timeouts.
    void setConnectTo(const QStringList &entries) { m_connectTo = entries; }
    void setTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds response);

private:
    QString m_host;
    quint16 m_port = 25;
    TLSMode m_tlsMode = TLSMode::No;
    QString m_userName;
    QString m_password;
    QString m_sslCertFile;
    QString m_sslKeyFile;
    int m_sslVersion = SSLVersionTLS10;

    QString m_subject;
    QStringList m_bodyLines;
    QString m_senderEMail;
    QString m_senderName;
    QStringList m_recipients;
    QStringList m_cc;
    QStringList m_attachments;

    QStringList m_connectTo;
    std::chrono::milliseconds m_connectTimeout = DefaultConnectTimeout;
    std::chrono::milliseconds m_responseTimeout = DefaultResponseTimeout;
};

} // namespace tev
