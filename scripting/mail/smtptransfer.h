#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>

namespace tev {

// One SMTP transfer with libcurl, checked and prepared by TvyxEMail. libcurl builds the MIME
// body (text part plus one file part per attachment), dot-stuffs it and speaks SMTP; this layer
// sets it up and turns each failure into an error that names its cause.
struct SmtpTransfer
{
    enum class Transport { Plain, StartTls, ImplicitTls };

    QString host;
    quint16 port = 25;
    Transport transport = Transport::Plain;
    long curlSslVersion = 0; // a CURL_SSLVERSION_* minimum
    QString caBundle;        // empty: the system's store
    QString certFile;
    QString keyFile;
    QString userName; // empty: no authentication
    QString password;

    QString mailFrom;
    QStringList envelopeRecipients;
    QList<QByteArray> headers; // complete "Name: value" lines
    QByteArray bodyUtf8;
    QStringList attachmentPaths;

    QStringList connectTo;
    std::chrono::milliseconds connectTimeout{30000};
    std::chrono::milliseconds responseTimeout{60000};

    // Runs the transfer. Throws tev::Error; the connection is closed in every case.
    void run() const;
};

} // namespace tev
