#include "core/project/tevproject.h"

#include "core/lib/fieldroutines.h"
#include "core/lib/numbers.h"
#include "core/lib/paths.h"
#include "core/lib/textroutines.h"
#include "core/project/changestate.h"
#include "core/project/projectdatasets.h"
#include "core/project/projectscopes.h"
#include "core/sequence/headervalue.h"
#include "core/sequence/routinetable.h"
#include "core/sequence/sequencecolumns.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"
#include "platform/text/formatsettings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

namespace tev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTevora = QStringLiteral("Tevora");

TStringList paramsList(const QString &text)
{
    TStringList list;
    list.SetTrailingLineBreak(false);
    list.SetText(text);
    return list;
}

QString extensionOf(const QString &fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? fileName.mid(dot) : QString();
}

// Runs a clean-up when the scope ends, also by an exception; a failing clean-up does not replace
// the error that ended the scope.
template <typename F> class ScopeExit
{
public:
    explicit ScopeExit(F f)
        : m_f(std::move(f))
    {}
    ~ScopeExit()
    {
        try {
            m_f();
        } catch (...) {
        }
    }
    ScopeExit(const ScopeExit &) = delete;
    ScopeExit &operator=(const ScopeExit &) = delete;

private:
    F m_f;
};

// Whether the lines hold a routine's column line: the first line that does not begin with "$"
// and has at least 5 tab-separated fields, with a LABEL column.
bool HasColumnLine(const CompactLines &Lines)
{
    for (qsizetype i = 0; i < Lines.count(); ++i) {
        const QString line = Lines.line(i);
        if (line.startsWith(QLatin1Char('$')) || line.count(QLatin1Char('\t')) < 4)
            continue;
        // Field by field without copies: a column line may be very long.
        const QStringView view(line);
        for (qsizetype start = 0; start <= view.size();) {
            qsizetype end = view.indexOf(QLatin1Char('\t'), start);
            if (end < 0)
                end = view.size();
            if (view.mid(start, end - start).compare(QLatin1String("LABEL"), Qt::CaseInsensitive) ==
                0)
                return true;
            start = end + 1;
        }
        return false;
    }
    return false;
}

// The lines the header is parsed from: up to the first that ends it (ParseHeader).
QStringList HeaderLines(const CompactLines &Lines)
{
    QStringList lines;
    for (qsizetype i = 0; i < Lines.count(); ++i) {
        lines.append(Lines.line(i));
        const QString &line = lines.back();
        if (!line.trimmed().isEmpty() &&
            (!line.startsWith(QLatin1Char('$')) || line.startsWith(QLatin1String("$ROUTINE"))))
            break;
    }
    return lines;
}

} // namespace

TTevProject::TTevProject(QObject *AOwner, ProjectDatabase *AData)
    : QObject(AOwner)
    , FData(AData)
    , FCDSChars(std::make_unique<MemDataSet>())
    , FCDSProject(std::make_unique<MemDataSet>())
{
    FUpdating = true;
    FGroups.SetTrailingLineBreak(false);
    CreateProjectDataSet(*FCDSProject);
    FCDSProject->setAfterPost([this](MemDataSet &) { ProjectAfterPost(); });
    CreateCharDataSet(*FCDSChars);
    FUpdating = false;
}

TTevProject::~TTevProject() = default;

Field &TTevProject::ProjectField(const char *Name) const
{
    return FCDSProject->fieldByName(QLatin1String(Name));
}

bool TTevProject::HasRecord() const
{
    return FCDSProject->active() &&
           (FCDSProject->recordCount() > 0 || FCDSProject->state() == DataSetState::Insert);
}

bool TTevProject::Empty() const
{
    return !FCDSProject->active() || FCDSProject->recordCount() == 0;
}

quint32 TTevProject::ChangeState() const
{
    return HasRecord() ? quint32(ProjectField("STATE").asInteger()) : 0;
}

void TTevProject::SetChangeState(quint32 Value)
{
    if (Empty())
        return;
    Field &state = ProjectField("STATE");
    if (!state.isNull() && quint32(state.asInteger()) == Value)
        return;
    EnsureEditState(*FCDSProject);
    state.setAsInteger(int(Value));
    FCDSProject->post();
    DoStateChanged();
}

void TTevProject::ProjectAfterPost()
{
    if (FAutoUpdate && FExistsInDatabase && !FUpdating && FData)
        WriteStored(WriteKind::Automatic, [this](TStoredStamp *Stamp) {
            FData->WriteProject(FRelativeFileName, *FCDSProject, *FCDSChars,
                                TTevDBUpdateMode::dbumSaveAll, Stamp);
        });
}

QString TTevProject::Directory() const
{
    const QString name = FileName();
    return name.left(name.lastIndexOf(QLatin1Char('/')) + 1);
}

QString TTevProject::FileContextName() const
{
    if (Empty())
        return {};
    if (FileType() == TTevFileType::pftMSEQ)
        return QStringLiteral("Sentavo Sequence (*.mseq)");
    if (Generator() == kTevora)
        return QStringLiteral("Work Sequence (*.seq)");
    return QStringLiteral("Master Sequence (*.seq)");
}

QString TTevProject::FileName() const
{
    return AddBackSlash(FRootDir) + FRelativeFileName;
}

void TTevProject::SetFileName(const QString &Value)
{
    FRelativeFileName = MakeRelativeFileName(Value);
}

QString TTevProject::FileText() const
{
    return FFile->fileText();
}

const QStringList &TTevProject::FileLines() const
{
    FFileLines = FFile->toStringList();
    return FFileLines;
}

TTevFileType TTevProject::FileType() const
{
    return HasRecord() ? FileTypeFromInt(ProjectField("FILETYPE").asInteger())
                       : TTevFileType::pftUnknown;
}

QString TTevProject::Generator() const
{
    return HasRecord() ? ProjectField("GENERATOR").asString() : QString();
}

QString TTevProject::Groups(int Index) const
{
    return Index >= 0 && Index < FGroups.Count() ? FGroups.Strings(Index) : QString();
}

void TTevProject::SetGroups(int Index, const QString &Value)
{
    if (Index >= 0 && Index < FGroups.Count())
        FGroups.SetStrings(Index, Value);
}

QString TTevProject::Header() const
{
    return FCDSProject->active() ? ProjectField("PARAMS").asString() : QString();
}

QString TTevProject::ImageFileName() const
{
    return HasRecord() ? ProjectField("IMAGE").asString() : QString();
}

void TTevProject::SetImageFileName(const QString &Value)
{
    if (Empty() || ProjectField("IMAGE").asString() == Value)
        return;
    EnsureEditState(*FCDSProject);
    ProjectField("IMAGE").setAsString(Value);
    FCDSProject->post();
    SetHeaderValue(QStringLiteral("$COVERLABEL"), Value);
    SetChangeState(ChangeState() | ChangeStateBits::HeaderChange);
}

int TTevProject::ProjectId() const
{
    return HasRecord() ? ProjectField("PROJECTID").asInteger() : 0;
}

QString TTevProject::ProjectName() const
{
    return HasRecord() ? ProjectField("PROJECTNAME").asString() : QString();
}

void TTevProject::SetProjectName(const QString &Value)
{
    if (Empty() || ProjectField("PROJECTNAME").asString() == Value)
        return;
    EnsureEditState(*FCDSProject);
    ProjectField("PROJECTNAME").setAsString(Value);
    FCDSProject->post();
    SetChangeState(ChangeState() | ChangeStateBits::HeaderChange);
}

QString TTevProject::SEQName() const
{
    return QFileInfo(FRelativeFileName).completeBaseName();
}

// Header-backed properties.

void TTevProject::SetHeaderProperty(const QString &Name, const QString &Value)
{
    if (SetHeaderValue(Name, Value))
        SetChangeState(ChangeState() | ChangeStateBits::HeaderChange);
}

QString TTevProject::Depends() const
{
    return GetHeaderValue(QStringLiteral("$DEPENDS"));
}

void TTevProject::SetDepends(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$DEPENDS"), Value);
}

QString TTevProject::Format() const
{
    return GetHeaderValue(QStringLiteral("$FORMAT"));
}

void TTevProject::SetFormat(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$FORMAT"), Value);
}

qint8 TTevProject::Limits() const
{
    return qint8(StrToIntDef(GetHeaderValue(QStringLiteral("$LIMITS")), 0));
}

void TTevProject::SetLimits(qint8 Value)
{
    SetHeaderProperty(QStringLiteral("$LIMITS"), QString::number(Value));
}

qint8 TTevProject::LogProfiles() const
{
    return qint8(StrToIntDef(GetHeaderValue(QStringLiteral("$LOGPROFILES")), 0));
}

void TTevProject::SetLogProfiles(qint8 Value)
{
    SetHeaderProperty(QStringLiteral("$LOGPROFILES"), QString::number(Value));
}

QString TTevProject::LongDesc() const
{
    return GetHeaderValue(QStringLiteral("$LONGDESC"));
}

void TTevProject::SetLongDesc(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$LONGDESC"), Value);
}

int TTevProject::NDecimals() const
{
    return StrToIntDef(GetHeaderValue(QStringLiteral("$NDECIMALS")), 0);
}

void TTevProject::SetNDecimals(int Value)
{
    SetHeaderProperty(QStringLiteral("$NDECIMALS"), QString::number(Value));
}

QString TTevProject::Picklist() const
{
    return GetHeaderValue(QStringLiteral("$PICKLIST"));
}

void TTevProject::SetPicklist(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$PICKLIST"), Value);
}

bool TTevProject::RoutineChanges() const
{
    return GetHeaderValue(QStringLiteral("$TYPE")) == QLatin1String("1");
}

void TTevProject::SetRoutineChanges(bool Value)
{
    SetHeaderProperty(QStringLiteral("$TYPE"), Value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString TTevProject::ShortDesc() const
{
    return GetHeaderValue(QStringLiteral("$SHORTDESC"));
}

void TTevProject::SetShortDesc(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$SHORTDESC"), Value);
}

qint8 TTevProject::Units() const
{
    return qint8(StrToIntDef(GetHeaderValue(QStringLiteral("$UNITS")), FDefaults.Units));
}

void TTevProject::SetUnits(qint8 Value)
{
    SetHeaderProperty(QStringLiteral("$UNITS"), QString::number(Value));
}

QString TTevProject::Version() const
{
    return GetHeaderValue(QStringLiteral("$VERSION"));
}

void TTevProject::SetVersion(const QString &Value)
{
    SetHeaderProperty(QStringLiteral("$VERSION"), Value);
}

void TTevProject::ChangeFileType(TTevFileType)
{}

void TTevProject::ChangeFileContext(TTevFileType)
{}

// Header storage.

QString TTevProject::GetHeaderValue(const QString &Name) const
{
    if (!HasRecord())
        return {};
    QString params = ProjectField("PARAMS").asString();
    params.remove(QLatin1Char('\n'));
    params = QLatin1Char('\r') + params + QLatin1Char('\r');
    const QString key = QLatin1Char('\r') + Name + QLatin1Char('=');
    const qsizetype at = params.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    const qsizetype end = params.indexOf(QLatin1Char('\r'), start);
    return UnescapeHeaderValue(TrimText(params.mid(start, end - start)));
}

bool TTevProject::SetHeaderValue(const QString &Name, const QString &Value)
{
    const QString value = EscapeHeaderValue(Value);
    TStringList list = paramsList(ProjectField("PARAMS").asString());
    const int index = list.IndexOfName(Name);
    if (index < 0) {
        list.Add(Name + QLatin1Char('=') + value);
    } else if (list.ValueFromIndex(index) != value) {
        if (value.isEmpty())
            list.Delete(index);
        else
            list.SetValueFromIndex(index, value);
    } else {
        return false;
    }
    EnsureEditState(*FCDSProject);
    ProjectField("PARAMS").setAsString(list.Text());
    return true;
}

QString TTevProject::MakeRelativeFileName(const QString &Name) const
{
    if (Name == FRootDir)
        return {};
    return GetRelativeFileName(FRootDir, Name);
}

QString TTevProject::MakeAbsoluteFileName(const QString &Name) const
{
    if (Name.startsWith(FRootDir))
        return Name;
    return AddBackSlash(FRootDir) + Name;
}

void TTevProject::SetGenerator(const QString &Value)
{
    if (HasRecord()) {
        EnsureEditState(*FCDSProject);
        ProjectField("GENERATOR").setAsString(Value);
        FCDSProject->post();
    }
    SetHeaderValue(QStringLiteral("$GENERATOR"), Value);
}

void TTevProject::SetFileType(TTevFileType Value)
{
    if (!FCDSProject->active())
        return;
    Field &type = ProjectField("FILETYPE");
    if (!type.isNull() && type.asInteger() == int(Value))
        return;
    EnsureEditState(*FCDSProject);
    type.setAsInteger(int(Value));
    FCDSProject->post();
}

QString TTevProject::GetCharParam(const QString &Name) const
{
    return paramsList(FCDSChars->fieldByName(QStringLiteral("PARAMS")).asString()).Values(Name);
}

void TTevProject::SetCharParam(const QString &Name, const QString &Value)
{
    Field &params = FCDSChars->fieldByName(QStringLiteral("PARAMS"));
    TStringList list = paramsList(params.asString());
    const int index = list.IndexOfName(Name);
    if (index < 0) {
        list.Add(Name + QLatin1Char('=') + Value);
    } else if (list.ValueFromIndex(index) != Value) {
        if (Value.isEmpty())
            list.Delete(index);
        else
            list.SetValueFromIndex(index, Value);
    } else {
        return;
    }
    EnsureEditState(*FCDSChars);
    params.setAsString(list.Text());
}

void TTevProject::DoChange()
{
    if (!FUpdating)
        Q_EMIT OnChange();
}

void TTevProject::DoStateChanged()
{
    Q_EMIT OnStateChanged();
}

// Sequence files.

void TTevProject::ReadSequenceFile(const QString &AFileName)
{
    SetFileName(AFileName);
    FFile = std::make_shared<const CompactLines>();
    FFileLines.clear();
    FReadComplete = false;
    FLoadError.clear();
    try {
        FFile = std::make_shared<const CompactLines>(LoadSequenceText(AFileName, FFileEncoding));
    } catch (const Error &e) {
        // A file that cannot be loaded opens as an empty project of its kind; the reason stays
        // for the caller that wants it.
        FLoadError = e.message();
    }
    FLinesEncoding = FFileEncoding ? FFileEncoding : TEncoding::ANSI();
    BuildProjectRecord(HeaderLines(*FFile));
    ReadRoutine(FRelativeFileName, QString(), FFile, true);
    FReadComplete = FLoadError.isEmpty() && HasColumnLine(*FFile);
}

void TTevProject::BuildProjectRecord(const QStringList &Lines)
{
    FCDSProject->emptyDataSet();
    FCDSProject->append();
    ProjectField("PROJECTID").setAsInteger(0);
    ProjectField("FILENAME").setAsString(FRelativeFileName);
    FillProjectRecord(Lines);
    FCDSProject->post();
}

void TTevProject::FillProjectRecord(const QStringList &Lines)
{
    TStringList header = paramsList(ParseHeader(Lines));
    if (header.IndexOfName(QStringLiteral("$LIMITS")) < 0)
        header.Add(QStringLiteral("$LIMITS=0"));
    if (header.IndexOfName(QStringLiteral("$FORMAT")) < 0)
        header.Add(QStringLiteral("$FORMAT=") + FDefaults.FormatFile);
    if (header.IndexOfName(QStringLiteral("$PICKLIST")) < 0)
        header.Add(QStringLiteral("$PICKLIST=") + FDefaults.PickListFile);
    const TTevFileType type = FileTypeOfExt(extensionOf(FRelativeFileName));
    ProjectField("FILETYPE").setAsInteger(int(type));
    ProjectField("PROJECTNAME")
        .setAsString(UnescapeHeaderValue(header.Values(QStringLiteral("$PROJECTNAME"))));
    ProjectField("IMAGE").setAsString(
        UnescapeHeaderValue(header.Values(QStringLiteral("$COVERLABEL"))));
    QString generator = header.Values(QStringLiteral("$GENERATOR"));
    if (generator.isEmpty()) {
        if (type == TTevFileType::pftSEQ)
            generator = QStringLiteral("Ombrix");
        else if (type == TTevFileType::pftMSEQ)
            generator = QStringLiteral("Sentavo");
    }
    ProjectField("GENERATOR").setAsString(generator);
    ProjectField("PARAMS").setAsString(header.Text());
}

void TTevProject::ReadRoutine(const QString &RefFileName, const QString &RefProjectName,
                              const QStringList &Lines, bool EmptyFirst)
{
    ReadRoutine(RefFileName, RefProjectName,
                std::make_shared<const CompactLines>(CompactLines::fromLines(Lines)), EmptyFirst);
}

void TTevProject::ReadRoutine(const QString &RefFileName, const QString &RefProjectName,
                              const std::shared_ptr<const CompactLines> &Lines, bool EmptyFirst)
{
    MemDataSet &ds = *FCDSChars;
    if (EmptyFirst)
        ds.emptyDataSet();
    ds.setIndexName(QStringLiteral("IDX_GROUPID_CHARID"));
    DisableControlsGuard controls(ds);
    ScopeExit toFirst([&ds]() { ds.first(); });
    // A filter (a group or master view) must not hide records from the matching, or a reread
    // would append duplicates with clashing numbers.
    FilterOffGuard filterOff(ds);
    RoutineTarget target{ds, FGroups, ProjectId(), ProjectName(), 0};
    Field &charId = ds.fieldByName(QStringLiteral("CHARID"));
    for (ds.first(); !ds.eof(); ds.next())
        target.lastId = std::max(target.lastId, charId.asInteger());
    DecimalSeparatorGuard separator(QLatin1Char('.'));
    ReadRoutineRows(RefFileName, RefProjectName, Lines, target);
    UpdateDepends();
}

void TTevProject::MergeHeader(const QString &MasterHeader)
{
    const TStringList master = paramsList(MasterHeader);
    TStringList params = paramsList(ProjectField("PARAMS").asString());
    for (int i = 0; i < master.Count(); ++i) {
        const QString name = master.Names(i);
        const QString value = master.Values(name);
        if (TrimText(name).isEmpty() || TrimText(value).isEmpty())
            continue;
        const int index = params.IndexOfName(name);
        if (index < 0)
            params.Add(name + QLatin1Char('=') + master.ValueFromIndex(i));
        else if (params.ValueFromIndex(index).isEmpty())
            params.SetValueFromIndex(index, value);
    }
    EnsureEditState(*FCDSProject);
    ProjectField("PARAMS").setAsString(params.Text());
}

QString TTevProject::ReadRefProjectName(const QString &FileName) const
{
    const QString full = AddBackSlash(FRootDir) + MakeRelativeFileName(FileName);
    if (!QFileInfo::exists(full))
        return {};
    QStringList lines;
    try {
        lines = LoadSequenceLinesByPreamble(full);
    } catch (const Error &) {
        return {};
    }
    const QString key = QStringLiteral("$PROJECTNAME ");
    for (const QString &line : lines) {
        if (line.startsWith(key))
            return line.mid(key.size()).left(100);
    }
    return {};
}

void TTevProject::UpdateDepends()
{
    TStringList params = paramsList(ProjectField("PARAMS").asString());
    QString depends = params.Values(QStringLiteral("$FORMAT")) + QLatin1Char(' ');
    const QString picklist = params.Values(QStringLiteral("$PICKLIST"));
    if (!picklist.isEmpty())
        depends += picklist + QLatin1Char(' ');
    depends += CollectDependFiles().join(QLatin1Char(' '));
    params.SetValues(QStringLiteral("$DEPENDS"), depends);
    EnsureEditState(*FCDSProject);
    ProjectField("PARAMS").setAsString(params.Text());
}

QStringList TTevProject::CollectDependFiles()
{
    MemDataSet &ds = *FCDSChars;
    TStringList files;
    files.SetSorted(true);
    files.SetDuplicates(TStringList::TDuplicates::dupIgnore);
    const MemDataSet::Bookmark mark = ds.bookmark();
    {
        DisableControlsGuard controls(ds);
        FilterOffGuard filterOff(ds);
        Field &image = ds.fieldByName(QStringLiteral("IMAGE"));
        const int paramsIndex = ds.fieldIndex(QStringLiteral("PARAMS"));
        const QString tem = QStringLiteral(".TEM(");
        // Names met before are skipped before the sorted list's search; the list still decides
        // which spelling of a name stays.
        QSet<QString> met;
        auto add = [&](const QString &name) {
            if (!met.contains(name)) {
                met.insert(name);
                files.Add(name);
            }
        };
        for (ds.first(); !ds.eof(); ds.next()) {
            const QString img = image.asString();
            if (!TrimText(img).isEmpty())
                add(img);
            const QString algorithm = CurrentParamValue(ds, paramsIndex, u"ALGORITHM");
            const qsizetype at = algorithm.indexOf(tem);
            if (at >= 0)
                add(algorithm.left(at + 4));
        }
    }
    if (ds.bookmarkValid(mark))
        ds.gotoBookmark(mark);
    else
        ds.first();
    return files.ToStringList();
}

QString TTevProject::GetDependsList() const
{
    return QString(Depends()).replace(QLatin1Char(' '), kCrLf);
}

QString TTevProject::DefaultHeader() const
{
    return tev::DefaultHeader(ProjectName(), FDefaults.Decimals, Now());
}

TStringList TTevProject::HeaderWithColumns() const
{
    TStringList header = paramsList(ProjectField("PARAMS").asString());
    header.SetValues(QStringLiteral("$GENERATOR"), Generator());
    // The two fields may hold line breaks (a name stored by another client, too): the file and
    // the stored header keep each value on its line.
    header.SetValues(QStringLiteral("$COVERLABEL"), EscapeHeaderValue(ImageFileName()));
    header.SetValues(QStringLiteral("$PROJECTNAME"), EscapeHeaderValue(ProjectName()));
    return header;
}

void TTevProject::WriteHeader(QStringList &Lines) const
{
    QStringList lines = HeaderWithColumns().ToStringList();
    for (QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0)
            line[eq] = QLatin1Char(' ');
    }
    Lines.append(lines.join(kCrLf));
}

void TTevProject::WriteRoutine(QStringList &Lines)
{
    Lines.append(QStringLiteral("$ROUTINE"));
    Lines.append(SequenceColumnLine());
    MemDataSet &ds = *FCDSChars;
    DecimalSeparatorGuard separator(QLatin1Char('.'));
    const MemDataSet::Bookmark mark = ds.bookmark();
    ScopeExit restoreRecord([&ds, mark]() {
        if (ds.bookmarkValid(mark))
            ds.gotoBookmark(mark);
        else
            ds.first();
    });
    FilterOffGuard filterOff(ds);
    DisableControlsGuard controls(ds);
    Lines.append(WriteRoutineRows(ds));
}

void TTevProject::WriteFile(const QString &FileName)
{
    FFile = std::make_shared<const CompactLines>();
    FFileLines.clear();
    QStringList lines;
    WriteHeader(lines);
    try {
        WriteRoutine(lines);
    } catch (...) {
        // The lines hold what was written before the characteristic that stopped it.
        FFile = std::make_shared<const CompactLines>(CompactLines::fromLines(lines));
        throw;
    }
    FFile = std::make_shared<const CompactLines>(CompactLines::fromLines(lines));
    const QString target =
        FileName.startsWith(FRootDir) ? FileName : AddBackSlash(FRootDir) + FileName;
    SaveSequenceLines(target, lines, FLinesEncoding ? FLinesEncoding : TEncoding::ANSI());
}

} // namespace tev
