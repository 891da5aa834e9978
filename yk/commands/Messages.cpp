#include "commands/Messages.h"

#include "format/ArchiveSource.h"
#include "fs/Names.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace yk::msg {

namespace {
std::string q(const std::string &name) {
    return "«" + printable(name) + "»";
}

// Sizes in the largest whole unit that keeps three digits of sense.
std::string bytesText(std::uint64_t n) {
    if (n >= (std::uint64_t(1) << 30))
        return std::to_string((n * 10 >> 30) / 10) + "," + std::to_string((n * 10 >> 30) % 10) +
               " ГиБ";
    if (n >= (1u << 20))
        return std::to_string(n >> 20) + " МиБ";
    if (n >= (1u << 10))
        return std::to_string(n >> 10) + " КиБ";
    return std::to_string(n) + " байт";
}
} // namespace

std::string usage() {
    return "yk — архиватор (формат 7z).\n"
           "\n"
           "Использование:\n"
           "  yk a[s][d][q][e][m][r][n]{0|1|2} АРХИВ [ИМЯ...]  добавить файлы в архив\n"
           "  yk e[q][a][t][y] АРХИВ                          извлечь всё без путей\n"
           "  yk x[q][a][t][y] АРХИВ                          извлечь всё с путями\n"
           "  yk l[f] АРХИВ                                   показать содержимое\n"
           "  yk t[q] АРХИВ                                   проверить архив\n"
           "\n"
           "Буквы ключей пишутся слитно с командой, в указанном порядке; дефисов нет,\n"
           "поэтому любое следующее слово (даже «-x») — имя файла.\n"
           "\n"
           "Добавление: к имени АРХИВА дописывается «.yk», если его там нет.\n"
           "ИМЯ — файл, каталог (со всем содержимым) или шаблон DOS: «*» — любые\n"
           "символы, «?» — один символ, «*.*» — все файлы, с точкой в имени и без.\n"
           "Скрытые файлы и каталоги (имя начинается с точки) попадают в архив по\n"
           "шаблону или вместе с каталогом только с ключом s; названные по имени — всегда.\n"
           "  s  брать и скрытые файлы и каталоги\n"
           "  d  сохранять в архиве записи о каталогах\n"
           "  q  тихая работа: только сообщения об ошибках\n"
           "  e  не сохранять пути, только имена файлов\n"
           "  m  переместить: удалить добавленные файлы, когда новый архив записан\n"
           "  r  искать по шаблонам и во всех подкаталогах\n"
           "  n  имена — не шаблоны: «*» и «?» в ИМЕНИ — просто буквы имени файла\n"
           "     (так WinYk передаёт отмеченные файлы; без n «x?» взял бы и «xa», «xb»)\n"
           "  0  простое копирование   1 LZMA   2 PPMd\n"
           "Файлы с тем же именем в архиве заменяются, остальные сохраняются.\n"
           "\n"
           "Извлечение (в текущий каталог):\n"
           "  q  тихая работа\n"
           "  a  атрибут «системный»: в POSIX его нет, ключ принимается и ничего не меняет\n"
           "  t  ставить извлечённым файлам текущее время, а не время из архива\n"
           "  y  заменять существующие файлы без вопроса; без y вопрос задаётся на\n"
           "     терминале, а без терминала существующий файл сохраняется\n"
           "\n"
           "Просмотр: f — полный: ещё метод, CRC и права доступа. Данные всех файлов\n"
           "сжаты одним цельным (solid) блоком, поэтому упакованный размер файла —\n"
           "его доля в блоке по исходному размеру; итог — точный.\n"
           "\n"
           "Код завершения: 0 — всё сделано, 1 — часть файлов пропущена или с ошибкой,\n"
           "2 — ничего не сделано.\n";
}

std::string errnoText(int err) {
    // The system's reasons users meet, in Russian; the rest by number, never in English.
    static const struct {
        int err;
        const char *text;
    } known[] = {
        {ENOENT, "нет такого файла или каталога"},
        {EACCES, "нет доступа"},
        {EPERM, "операция не разрешена"},
        {ENOSPC, "нет места на диске"},
        {EDQUOT, "превышена квота"},
        {EFBIG, "файл слишком велик для этой файловой системы"},
        {EROFS, "файловая система только для чтения"},
        {EISDIR, "это каталог"},
        {ENOTDIR, "часть пути — не каталог"},
        {ELOOP, "на пути символическая ссылка или их слишком много"},
        {ENAMETOOLONG, "слишком длинное имя"},
        {EIO, "ошибка ввода-вывода"},
        {ENOMEM, "недостаточно памяти"},
        {EEXIST, "файл уже существует"},
        {ENOTEMPTY, "каталог не пуст"},
        {EBUSY, "файл занят"},
        {ETXTBSY, "файл занят"},
        {EMFILE, "слишком много открытых файлов"},
        {ENFILE, "слишком много открытых файлов в системе"},
        {EXDEV, "другая файловая система"},
        {EINVAL, "недопустимый аргумент"},
        {EAGAIN, "ресурс временно недоступен"},
        {EINTR, "прервано сигналом"},
        {ENXIO, "нет такого устройства"},
        {ENODEV, "нет такого устройства"},
        {ESTALE, "файл на сетевом диске больше не доступен"},
        {EOVERFLOW, "значение слишком велико"},
        {ENOLCK, "блокировки не поддерживаются"},
        {EBADF, "недопустимый дескриптор файла"},
        {EOPNOTSUPP, "операция не поддерживается"},
    };
    for (const auto &k : known)
        if (k.err == err)
            return k.text;
    return "системная ошибка " + std::to_string(err);
}

std::string fileKind(mode_t mode) {
    if (S_ISDIR(mode))
        return "каталог";
    if (S_ISFIFO(mode))
        return "именованный канал";
    if (S_ISSOCK(mode))
        return "сокет";
    if (S_ISCHR(mode))
        return "символьное устройство";
    if (S_ISBLK(mode))
        return "блочное устройство";
    if (S_ISLNK(mode))
        return "символическая ссылка";
    return "файл";
}
std::string oldArchiveDamaged() {
    return "прежний архив повреждён";
}
std::string wouldReplaceArchive() {
    return "на этом месте сам извлекаемый архив; он не заменяется";
}
std::string appearedMeanwhile() {
    return "файл с таким именем появился во время извлечения; оставлен он";
}
std::string tooDeep(std::size_t levels) {
    return "путь глубже " + std::to_string(levels) + " уровней";
}
std::string emptyName() {
    return "пустое имя";
}
std::string absolutePath() {
    return "абсолютный путь";
}
std::string dotDotInPath() {
    return "путь содержит «..»";
}
std::string linkLeadsOut(const std::string &target) {
    return "ссылка ведёт за пределы каталога: " + printable(target);
}
std::string linkThroughLink(const std::string &target) {
    return "ссылка " + printable(target) + " проходит через другую ссылку";
}
std::string emptyLinkTarget() {
    return "ссылка без цели";
}
std::string throughLinkOnDisk(const std::string &component) {
    return "путь проходит через символическую ссылку " + q(component);
}
std::string notADirectoryOnDisk(const std::string &component) {
    return q(component) + " на диске — не каталог";
}
std::string specialEntry(mode_t mode) {
    return fileKind(mode) + ": специальные файлы не извлекаются";
}
std::string directoryInTheWay() {
    return "на этом месте каталог";
}

const char *const listArchive = "Архив: ";
const char *const colSize = "Размер";
const char *const colPacked = "Упаковано";
const char *const colRatio = "Сжатие";
const char *const colDate = "Дата";
const char *const colTime = "Время";
const char *const colMethod = "Метод";
const char *const colRights = "Права";
const char *const colName = "Имя";
std::string listTotals(int entries, std::uint64_t archiveSize) {
    return "Записей: " + std::to_string(entries) + ", архив: " + std::to_string(archiveSize) +
           " байт";
}

std::string adding(const std::string &name) {
    return "Добавление  " + printable(name);
}
std::string replacing(const std::string &name) {
    return "Замена      " + printable(name);
}
std::string extracting(const std::string &name) {
    return "Извлечение  " + printable(name);
}
std::string testing(const std::string &name) {
    return "Проверка    " + printable(name);
}

std::string notFound(const std::string &name) {
    return q(name) + ": файл не найден";
}
std::string noMatch(const std::string &pattern) {
    return q(pattern) + ": нет файлов, подходящих под шаблон";
}
std::string cannotRead(const std::string &name, const std::string &reason) {
    return q(name) + ": не удалось прочитать: " + reason + "; пропущен";
}
std::string cannotOpenDir(const std::string &name, const std::string &reason) {
    return q(name) + ": не удалось открыть каталог: " + reason + "; пропущен";
}
std::string specialSkipped(const std::string &name) {
    return q(name) + ": специальный файл (канал, сокет или устройство) не архивируется; пропущен";
}
std::string vanished(const std::string &name) {
    return q(name) + ": файл исчез или заменён во время работы; пропущен";
}
std::string changedWhileReading(const std::string &name) {
    return q(name) + ": файл изменился во время чтения; не добавлен (прежняя запись в архиве, если "
                     "была, сохранена)";
}
std::string selfSkipped(const std::string &name) {
    return q(name) + ": сам архив в себя не добавляется";
}
std::string duplicateSkipped(const std::string &name) {
    return q(name) + ": файл с таким именем уже добавлен; пропущен";
}
std::string leadingPartsRemoved(const std::string &from, const std::string &to) {
    return q(from) + ": «/» и «..» из имени убраны, в архиве: " + q(to);
}
std::string nothingToAdd() {
    return "нечего добавлять: файлы не заданы или не найдены";
}
std::string cannotDelete(const std::string &name, const std::string &reason) {
    return q(name) + ": не удалось удалить после архивации: " + reason;
}
std::string changedSinceArchived() {
    return "файл изменился после архивации";
}
std::string cannotWriteArchive(const std::string &archive, const std::string &reason, bool hadOld) {
    return q(archive) + ": не удалось записать архив: " + reason +
           (hadOld ? "; прежний архив не изменён" : "; архив не создан");
}
std::string emptyArchiveName(const std::string &given) {
    return q(given) + ": пустое имя архива; архив не создан";
}
std::string archiveNotRegular(const std::string &archive, mode_t mode) {
    return q(archive) + ": " + reason(Error(Fault::NotRegular, mode)) + "; архивом быть не может";
}
std::string waitingForLock(const std::string &archive) {
    return "в каталог архива " + q(archive) +
           " сейчас добавляет другой запуск yk; ожидание его завершения...";
}
std::string lockUnavailable(const std::string &archive, const std::string &reason) {
    return q(archive) + ": не удалось заблокировать каталог архива (" + reason +
           "); одновременное добавление не исключено";
}
std::string staleTemporaryRemoved(const std::string &name) {
    return q(name) + ": удалён временный файл прерванного добавления";
}
std::string cannotReadArchive(const std::string &archive, const std::string &reason) {
    return q(archive) + ": не удалось прочитать архив: " + reason;
}
std::string damagedEntry(const std::string &name, const std::string &reason) {
    return q(name) + ": данные не прочитаны: " + reason;
}
std::string refused(const std::string &name, const std::string &reason) {
    return q(name) + ": не извлечён: " + reason;
}
std::string cannotExtract(const std::string &name, const std::string &reason) {
    return q(name) + ": не удалось извлечь: " + reason;
}
std::string keptExisting(const std::string &name) {
    return q(name) + ": файл уже существует, спросить некого (нет терминала); оставлен прежний";
}
std::string overwritePrompt(const std::string &name) {
    return "Файл " + q(name) + " уже существует. Заменить? [y] да, [n] нет, [a] все, [q] выход: ";
}
const char *const replyYes[2] = {"д", "Д"};
const char *const replyNo[2] = {"н", "Н"};
const char *const replyAll[2] = {"в", "В"};

std::string extractionStopped() {
    return "извлечение прервано по ответу пользователя";
}
std::string systemAttributeIgnored() {
    return "ключ a: атрибута «системный» в POSIX нет, файлы извлекаются без него";
}

std::string addSummary(int added, int failed, const std::string &archive) {
    std::string s = "Добавлено: " + std::to_string(added) + " в " + q(archive);
    if (failed > 0)
        s += ", пропущено или с ошибкой: " + std::to_string(failed);
    return s;
}
std::string extractSummary(int done, int failed) {
    std::string s = "Извлечено: " + std::to_string(done);
    if (failed > 0)
        s += ", пропущено или с ошибкой: " + std::to_string(failed);
    return s;
}
std::string testSummary(int ok, int failed) {
    return "Проверено: " + std::to_string(ok + failed) + ", без ошибок: " + std::to_string(ok) +
           ", с ошибками: " + std::to_string(failed);
}
std::string movedSummary(int removed) {
    return "Удалено исходных файлов: " + std::to_string(removed);
}

const char *const ok = "ОК";
const char *const bad = "ОШИБКА";
const char *const archiveOk = "Архив исправен.";
const char *const archiveBad = "В архиве есть ошибки.";

namespace {
// What failed, without the detail.
std::string faultText(const Error &e) {
    const std::string unsupported = "не поддерживается: ";
    switch (e.what) {
    case Fault::None:
        return std::string();
    case Fault::System:
        return errnoText(static_cast<int>(e.code));
    case Fault::NotRegular:
        return "не обычный файл, а " + fileKind(static_cast<mode_t>(e.code));
    case Fault::OutOfMemory:
        if (e.code == 0)
            return "недостаточно памяти";
        return "недостаточно памяти: архив требует " + bytesText(e.code) + " для распаковки";
    case Fault::NotAnArchive:
        return "это не архив yk (формат 7z)";
    case Fault::Library:
        return "сбой библиотеки архивов";
    case Fault::Encrypted:
        return unsupported + "зашифрованный архив";
    case Fault::MultiVolume:
        return unsupported + "многотомный архив";
    case Fault::CutShort:
        return "архив обрезан или это один том многотомного архива (многотомные архивы не "
               "поддерживаются)";
    case Fault::BadCrc:
        return "неверная контрольная сумма (CRC)";
    case Fault::DataDamaged:
        return "сжатые данные повреждены";
    case Fault::ArchiveDamaged:
        return "архив повреждён";
    case Fault::Method:
        // Coders without a name are shown by their id, "?0A".
        if (!e.subject.empty() && e.subject[0] == '?')
            return unsupported + "метод сжатия с кодом " + e.subject.substr(1);
        return unsupported + "метод сжатия " + e.subject;
    case Fault::FilterWith:
        return unsupported + "фильтр " + e.subject + " после метода сжатия " + e.other;
    case Fault::StartHeaderCrc:
        return "неверная контрольная сумма (CRC) начального заголовка";
    case Fault::HeaderCrc:
        return "неверная контрольная сумма (CRC) заголовка";
    case Fault::AbsurdCount:
        return "в заголовке объявлено больше элементов, чем в нём может поместиться";
    case Fault::EntriesWithoutData:
        return "в заголовке больше записей с данными, чем потоков данных";
    case Fault::EntriesExceedFolder:
        return "размеры записей больше распакованного блока";
    case Fault::PackedBeyondHeader:
        return "упакованные данные заходят за заголовок";
    case Fault::CopySizeMismatch:
        return "несжатый блок объявлен размером " + std::to_string(e.code) + " байт, а записано " +
               std::to_string(e.bound);
    case Fault::HeaderTooLarge:
        return "заголовок распаковывается в " + bytesText(e.code) +
               ", больше допустимого для архива такого размера (" + bytesText(e.bound) + ")";
    case Fault::HeaderUnpackFailed:
        return "упакованный заголовок не распаковывается";
    case Fault::FolderCrc:
        return "неверная контрольная сумма (CRC) распакованного блока " + std::to_string(e.code);
    case Fault::PackedStreamCrc:
        return "неверная контрольная сумма (CRC) упакованного потока " + std::to_string(e.code);
    case Fault::MoreDataThanDeclared:
        return "данных больше, чем объявлено для записи";
    case Fault::NoMemoryToCompress:
        return "недостаточно памяти для сжатия";
    case Fault::BadCompressionLevel:
        return "неверная степень сжатия LZMA";
    case Fault::CompressorWontStart:
        return "сжатие LZMA2 не запускается";
    case Fault::CompressorFailed:
        return "ошибка сжатия LZMA2";
    case Fault::NameTaken:
        return errnoText(EEXIST);
    }
    return std::string();
}
} // namespace

std::string reason(const Error &e) {
    std::string text = faultText(e);
    // What the header proves unsound is said as damage to the archive.
    if (e.what >= Fault::StartHeaderCrc && e.what <= Fault::PackedStreamCrc)
        text = "архив повреждён: " + text;
    if (!e.detail.empty())
        text += " (" + printable(e.detail) + ")";
    return text;
}

std::string archiveName(const ArchiveSource &source) {
    return source.inMemory() ? "(память)" : source.path;
}

} // namespace yk::msg
