#include "build/DataArchive.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

const QString kDataArchivePassword = QStringLiteral("Kq4!)=");

namespace {

constexpr size_t kBlockSize = 65536;
// A surprise holds five entries; a list this long is damage or an attack.
constexpr int kMaxEntries = 1024;
// What one read may hold in memory, in entry-size caps.
constexpr qint64 kMaxReadEntrySizes = 8;

struct ReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using ReadArchivePtr = std::unique_ptr<archive, ReadDeleter>;
using WriteArchivePtr = std::unique_ptr<archive, WriteDeleter>;
using EntryPtr = std::unique_ptr<archive_entry, EntryDeleter>;

QString ErrorText(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

QString EntryName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    if (const char* raw = archive_entry_pathname(entry))
        return QString::fromLocal8Bit(raw);
    return {};
}

// A name that, joined to a folder, stays directly inside it.
bool IsBareName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    return true;
}

ReadArchivePtr NewReader(const QString& password) {
    ReadArchivePtr reader(archive_read_new());
    if (!reader)
        throw ArchiveError("Out of memory.");
    archive_read_support_format_zip(reader.get());
    if (!password.isEmpty())
        archive_read_add_passphrase(reader.get(), password.toUtf8().constData());
    return reader;
}

la_ssize_t WriteToSaveFile(archive*, void* client, const void* buffer, size_t length) {
    auto* file = static_cast<QSaveFile*>(client);
    const qint64 written = file->write(static_cast<const char*>(buffer), qint64(length));
    return written == qint64(length) ? la_ssize_t(written) : -1;
}

int CloseNothing(archive*, void*) {
    return ARCHIVE_OK;
}

// The writer with the program's settings: zip, deflate level 9, and
// ZipCrypto when a password is given.
WriteArchivePtr NewWriter(const QString& password) {
    WriteArchivePtr writer(archive_write_new());
    if (!writer || archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
        archive_write_set_format_option(writer.get(), "zip", "compression", "deflate") !=
            ARCHIVE_OK ||
        archive_write_set_format_option(writer.get(), "zip", "compression-level", "9") !=
            ARCHIVE_OK)
        return nullptr;
    if (!password.isEmpty() &&
        (archive_write_set_format_option(writer.get(), "zip", "encryption", "zipcrypt") !=
             ARCHIVE_OK ||
         archive_write_set_passphrase(writer.get(), password.toUtf8().constData()) != ARCHIVE_OK))
        return nullptr;
    // Unblocked: a ZIP file must end with its directory, not with padding.
    if (archive_write_set_bytes_per_block(writer.get(), 0) != ARCHIVE_OK)
        return nullptr;
    return writer;
}

// Copies the entries of the existing archive whose names are not in
// replaced; false when it cannot be read whole.
bool CopyKeptEntries(const QString& archivePath, const QString& password,
                     const QSet<QString>& replaced, archive* writer) {
    ReadArchivePtr reader = NewReader(password);
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(),
                                   kBlockSize) != ARCHIVE_OK)
        return false;
    std::vector<char> block(kBlockSize);
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        if (replaced.contains(EntryName(entry)))
            continue;
        if (archive_write_header(writer, entry) != ARCHIVE_OK)
            return false;
        la_ssize_t n;
        while ((n = archive_read_data(reader.get(), block.data(), block.size())) > 0)
            if (archive_write_data(writer, block.data(), size_t(n)) != n)
                return false;
        if (n < 0 || archive_write_finish_entry(writer) != ARCHIVE_OK)
            return false;
    }
    return status == ARCHIVE_EOF;
}

enum class AddResult { Added, Unreadable, WriteFailed };

AddResult AddFile(const QString& path, const QString& name, archive* writer) {
    QFile file(path);
    struct stat info {};
    if (!file.open(QIODevice::ReadOnly) || fstat(file.handle(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return AddResult::Unreadable;
    EntryPtr entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), info.st_mode & 0777);
    archive_entry_set_size(entry.get(), info.st_size);
    archive_entry_set_mtime(entry.get(), info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    if (archive_write_header(writer, entry.get()) != ARCHIVE_OK)
        return AddResult::WriteFailed;
    std::vector<char> block(kBlockSize);
    qint64 total = 0;
    for (;;) {
        const qint64 n = file.read(block.data(), qint64(block.size()));
        if (n < 0)
            return AddResult::WriteFailed; // the entry is half written
        if (n == 0)
            break;
        if (archive_write_data(writer, block.data(), size_t(n)) != n)
            return AddResult::WriteFailed;
        total += n;
    }
    if (total != info.st_size || archive_write_finish_entry(writer) != ARCHIVE_OK)
        return AddResult::WriteFailed;
    return AddResult::Added;
}

} // namespace

bool CanWriteEncryptedZip() {
    return NewWriter(kDataArchivePassword) != nullptr;
}

bool MakeArchive(const QStringList& files, const QString& archivePath, const QString& password) {
    // Declared first so that it outlives the writer, which may still write when freed.
    QSaveFile output(archivePath);
    WriteArchivePtr writer = NewWriter(password);
    if (!writer || !output.open(QIODevice::WriteOnly))
        return false;
    if (archive_write_open(writer.get(), &output, nullptr, WriteToSaveFile, CloseNothing) !=
        ARCHIVE_OK)
        return false;

    // Later files of a name already listed would give the archive two entries of one name.
    QStringList names;
    QStringList paths;
    for (const QString& path : files) {
        const QString name = QFileInfo(path).fileName();
        if (!names.contains(name)) {
            names.append(name);
            paths.append(path);
        }
    }
    const QSet<QString> replaced(names.cbegin(), names.cend());
    if (QFileInfo(archivePath).isFile() &&
        !CopyKeptEntries(archivePath, password, replaced, writer.get()))
        return false; // the old archive stays as it was

    bool allAdded = true;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const AddResult result = AddFile(paths[i], names[i], writer.get());
        if (result == AddResult::WriteFailed)
            return false;
        allAdded = allAdded && result == AddResult::Added;
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return false;
    return output.commit() && allAdded;
}

QList<ArchiveEntry> ReadArchive(const QByteArray& zip, const QString& password, bool withData,
                                qint64 maxEntrySize) {
    ReadArchivePtr reader = NewReader(password);
    if (archive_read_open_memory(reader.get(), zip.constData(), size_t(zip.size())) != ARCHIVE_OK)
        throw ArchiveError(QStringLiteral("The data archive cannot be read: %1")
                               .arg(ErrorText(reader.get()))
                               .toStdString());
    QList<ArchiveEntry> entries;
    std::vector<char> block(kBlockSize);
    qint64 keptTotal = 0;
    archive_entry* header = nullptr;
    int status;
    while ((status = archive_read_next_header(reader.get(), &header)) == ARCHIVE_OK) {
        ArchiveEntry entry;
        entry.Name = EntryName(header);
        if (!IsBareName(entry.Name) || archive_entry_filetype(header) != AE_IFREG)
            throw ArchiveError(QStringLiteral("The data archive holds an entry that is not a "
                                              "plain file name: \"%1\".")
                                   .arg(entry.Name)
                                   .toStdString());
        if (entries.size() >= kMaxEntries)
            throw ArchiveError("The data archive holds too many entries.");
        const QString tooLarge =
            QStringLiteral("The data archive's entry \"%1\" is too large.").arg(entry.Name);
        if (archive_entry_size_is_set(header) && archive_entry_size(header) > maxEntrySize)
            throw ArchiveError(tooLarge.toStdString());
        entry.Encrypted = archive_entry_is_encrypted(header) != 0;
        // The data is always read, so that damage and a wrong password show
        // in a listing too; it is kept only when asked for.
        qint64 size = 0;
        la_ssize_t n;
        while ((n = archive_read_data(reader.get(), block.data(), block.size())) > 0) {
            size += n;
            if (size > maxEntrySize)
                throw ArchiveError(tooLarge.toStdString());
            if (withData) {
                keptTotal += n;
                if (keptTotal > kMaxReadEntrySizes * maxEntrySize)
                    throw ArchiveError("The data archive is too large to read.");
                entry.Data.append(block.data(), qsizetype(n));
            }
        }
        if (n < 0)
            throw ArchiveError(QStringLiteral("The data archive's entry \"%1\" cannot be read: %2")
                                   .arg(entry.Name, ErrorText(reader.get()))
                                   .toStdString());
        entry.Size = size;
        entries.append(entry);
    }
    if (status != ARCHIVE_EOF)
        throw ArchiveError(QStringLiteral("The data archive is damaged: %1")
                               .arg(ErrorText(reader.get()))
                               .toStdString());
    return entries;
}
