// Scenes of the application dialogs: settings, new-project wizard, delete, vendors, about and the
// rooted folder picker, on an application root of their own with an embedded database and a
// small sequence folder in temporary folders.

#include "gallery.h"

#include "core/app/tevapp.h"
#include "core/lib/knownfolders.h"
#include "ui/appdialogs/kelaboutbox.h"
#include "ui/appdialogs/kelvendorsdlg.h"
#include "ui/appdialogs/tevprojectdeldlg.h"
#include "ui/appdialogs/tevprojectdlg.h"
#include "ui/appdialogs/tevsettingsdlg.h"
#include "ui/controls/buttongroup/vyxbuttongroup.h"
#include "ui/kit/mainform.h"
#include "ui/pickers/tevfolderpickerdlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

namespace {

using namespace tev;
using tev::gallery::Gallery;

// An application root, machine-wide and home folders, and a sequence folder with one master.
class DialogEnvironment
{
public:
    DialogEnvironment()
    {
        QDir root(m_dir.path());
        for (const char *folder : {"root/Config", "root/bin", "common/appdata", "common/documents",
                                   "home", "SEQ/Masters", "SEQ/Work/Line 1", "SEQ/Work/Line 2"})
            root.mkpath(QString::fromLatin1(folder));
        // The engine reads its lock folder once per process, before its first call.
        static QTemporaryDir firebird;
        if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK")) {
            qputenv("FIREBIRD_LOCK", QFile::encodeName(firebird.filePath(QStringLiteral("lock"))));
            qputenv("FIREBIRD_TMP", QFile::encodeName(firebird.filePath(QStringLiteral("tmp"))));
        }
        QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/../FB"),
                    root.filePath(QStringLiteral("root/FB")));
        write(QStringLiteral("root/bin/tevora"), QByteArray("\x7f"
                                                            "ELF") +
                                                     "TevoraFileVersion=1.0.0.0" + '\0');
        write(QStringLiteral("SEQ/Masters/Housing.seq"),
              "$TYPE 1\r\n$DEPENDS HOUSING.FMT HOUSING.uif bore.png\r\n$FORMAT HOUSING.FMT\r\n"
              "$PICKLIST HOUSING.uif\r\n$PROJECTNAME Housing 4711\r\n$GENERATOR Ombrix\r\n"
              "$ROUTINE\r\nLABEL\tFORMULA\r\n");
        qputenv(kCommonAppDataVariable, QFile::encodeName(root.filePath("common/appdata")));
        qputenv(kCommonDocumentsVariable, QFile::encodeName(root.filePath("common/documents")));
        qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        m_app =
            std::make_unique<TTevApp>(nullptr, root.filePath(QStringLiteral("root/bin/tevora")));
        m_app->SetSEQDir(seqDir());
        m_app->Settings().SetDefaultMasterDir(seqDir() + QStringLiteral("/Masters"));
        m_app->Settings().SetDefaultWorkDir(seqDir() + QStringLiteral("/Work"));
    }

    TTevApp &app() { return *m_app; }
    QString seqDir() const { return m_dir.filePath(QStringLiteral("SEQ")); }

private:
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TTevApp> m_app;
};

void settings(Gallery &g)
{
    DialogEnvironment env;
    ModalRunnerGuard runner([&](QDialog &dialog) {
        auto &d = static_cast<TTevSettingsDlg &>(dialog);
        g.save(d, QStringLiteral("settings-general"));
        d.BtnGroup->setItemIndex(1);
        d.BtnGroupItemsUserClick();
        g.save(d, QStringLiteral("settings-preferences"));
        return int(mrCancel);
    });
    ExecuteSettingsDlg(&env.app());
}

// Beside a window of a laptop's size: the dialog takes 0.9 of its height and shows every field.
void settingsBesideALaptopWindow(Gallery &g)
{
    DialogEnvironment env;
    QWidget owner;
    owner.resize(1280, 721);
    setMainForm(&owner);
    g.modal(QStringLiteral("settings-laptop"), mrCancel, [&] { ExecuteSettingsDlg(&env.app()); });
    setMainForm(nullptr);
}

void wizard(Gallery &g)
{
    DialogEnvironment env;
    ModalRunnerGuard runner([&](QDialog &dialog) {
        auto &w = static_cast<TTevProjectDialog &>(dialog);
        g.save(w, QStringLiteral("wizard-1-general"));
        w.NextBtnClick();
        g.save(w, QStringLiteral("wizard-2-master"));
        w.NextBtnClick();
        g.save(w, QStringLiteral("wizard-3-details"));
        return int(mrCancel);
    });
    QString name = QStringLiteral("Housing 4711 Line 1");
    QString file = QStringLiteral("Work/Line 1/Housing-L1.seq");
    QString master = QStringLiteral("Masters/Housing.seq");
    TTevFileType type = TTevFileType::pftSEQ;
    QString format, userFields;
    ExecuteProjectDialog(&env.app(), name, file, master, type, format, userFields);
}

void wizardOutside(Gallery &g)
{
    DialogEnvironment env;
    ModalRunnerGuard runner([&](QDialog &dialog) {
        g.save(dialog, QStringLiteral("wizard-target-outside"));
        return int(mrCancel);
    });
    QString name = QStringLiteral("Line 9");
    QString file = QStringLiteral("/srv/elsewhere/");
    QString master = QStringLiteral("Masters/Housing.seq");
    TTevFileType type = TTevFileType::pftMSEQ;
    QString format, userFields;
    ExecuteProjectDialog(&env.app(), name, file, master, type, format, userFields);
}

void deleteDialog(Gallery &g)
{
    g.modal(QStringLiteral("delete-project"), mrCancel, [] {
        bool remove = true;
        bool deleteFile = true;
        ExecuteDelProjectDlg(remove, deleteFile);
    });
}

void vendors(Gallery &g)
{
    DialogEnvironment env;
    g.modal(QStringLiteral("vendors-choose"), mrCancel, [&] {
        QString company, eMail;
        ExecuteVendorsDlg(QStringLiteral("Vendors"), env.app().VendorFileName(), company, eMail,
                          buttonSet({mbOK, mbCancel}));
    });
    g.modal(QStringLiteral("vendors-support-contacts"), mrOk,
            [&] { ShowSupportContacts(env.app().VendorFileName()); });
}

void about(Gallery &g)
{
    DialogEnvironment env;
    QPointer<TKelAboutBox> box = ShowAboutBox(&env.app());
    g.save(*box, QStringLiteral("about"));
    box->close();
}

void folderPicker(Gallery &g)
{
    DialogEnvironment env;
    TTevFolderPickerDlg picker(nullptr, QStringLiteral("Default Directory for Work Routines"),
                               env.seqDir(), env.seqDir() + QStringLiteral("/Work/Line 2"));
    g.save(picker, QStringLiteral("folder-picker"));
}

} // namespace

TEVORA_GALLERY_SCENE("50-appdialogs-1-settings", settings);
TEVORA_GALLERY_SCENE("50-appdialogs-1-settings-laptop", settingsBesideALaptopWindow);
TEVORA_GALLERY_SCENE("50-appdialogs-2-wizard", wizard);
TEVORA_GALLERY_SCENE("50-appdialogs-3-wizard-outside", wizardOutside);
TEVORA_GALLERY_SCENE("50-appdialogs-4-delete", deleteDialog);
TEVORA_GALLERY_SCENE("50-appdialogs-5-vendors", vendors);
TEVORA_GALLERY_SCENE("50-appdialogs-6-about", about);
TEVORA_GALLERY_SCENE("50-appdialogs-7-folder-picker", folderPicker);
