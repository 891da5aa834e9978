#include "Messages.h"

#include <cerrno>
#include <cstring>

namespace yk::msg {

namespace {
std::string q(const std::string &name) {
    return "«" + name + "»";
}
} // namespace

std::string usage() {
    return "yk — архиватор (формат 7z).\n"
           "\n"
           "Использование:\n"
           "  yk a[s][d][q][e][m][r]{0|1|2} АРХИВ [ИМЯ...]   добавить файлы в архив\n"
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
    switch (err) {
    case ENOENT:
        return "нет такого файла или каталога";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case ENOSPC:
        return "нет места на диске";
    case EROFS:
        return "файловая система только для чтения";
    case EISDIR:
        return "это каталог";
    case ENOTDIR:
        return "часть пути — не каталог";
    case ELOOP:
        return "слишком много символических ссылок";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    case EIO:
        return "ошибка ввода-вывода";
    case EDQUOT:
        return "превышена квота";
    default:
        return std::strerror(err);
    }
}

std::string adding(const std::string &name) {
    return "Добавление  " + name;
}
std::string replacing(const std::string &name) {
    return "Замена      " + name;
}
std::string extracting(const std::string &name) {
    return "Извлечение  " + name;
}
std::string testing(const std::string &name) {
    return "Проверка    " + name;
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
    return q(name) + ": файл изменился во время чтения; в архиве он неполон";
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
std::string cannotWriteArchive(const std::string &archive, const std::string &reason) {
    return q(archive) + ": не удалось записать архив: " + reason + "; прежний архив не изменён";
}
std::string cannotReadArchive(const std::string &archive, const std::string &reason) {
    return q(archive) + ": не удалось прочитать архив: " + reason;
}
std::string damagedEntry(const std::string &name, const std::string &reason) {
    return q(name) + ": ошибка в данных: " + reason;
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

} // namespace yk::msg
