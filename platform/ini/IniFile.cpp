#include "platform/ini/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <limits>
#include <stdexcept>
#include <sys/stat.h>

namespace {

bool isBlank(QChar c) {
    return c == ' ' || c == '\t';
}

// Only blanks and tabs are trimmed: a value may end in a no-break space.
QString trimBlanks(const QString &s) {
    qsizetype a = 0, b = s.size();
    while (a < b && isBlank(s[a]))
        ++a;
    while (b > a && isBlank(s[b - 1]))
        --b;
    return s.mid(a, b - a);
}

bool parseInteger(const QString &s, qint64 *out) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return false;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < '0' || c > '9') return false;
        if (v > (std::numeric_limits<qint64>::max() - (c - '0')) / 10) return false;
        v = v * 10 + (c - '0');
    }
    *out = negative ? -v : v;
    return true;
}

void defaultSave(const QString &path, const QByteArray &bytes) {
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && !info.isWritable())
        throw std::runtime_error(
            QStringLiteral("Cannot write file %1: the file is read-only").arg(path).toStdString());
    WriteBytesFile(path, bytes);
}

TIniFile::SaveFunction &saveFunction() {
    static TIniFile::SaveFunction f = defaultSave;
    return f;
}

// Files already copied to their backup in this run, by absolute path.
QSet<QString> &backedUp() {
    static QSet<QString> s;
    return s;
}

QString absolute(const QString &path) {
    return QFileInfo(path).absoluteFilePath();
}

[[noreturn]] void refuse(const QString &what, const QString &reason) {
    throw std::runtime_error(QStringLiteral("Cannot store %1 in the settings file: %2.")
                                 .arg(what, reason)
                                 .toStdString());
}

bool hasLineBreak(const QString &s) {
    return s.contains('\r') || s.contains('\n');
}

} // namespace

void TIniFile::SetSaveFunction(SaveFunction save) {
    saveFunction() = save ? std::move(save) : defaultSave;
}

void TIniFile::ResetBackups() {
    backedUp().clear();
}

TIniFile::TIniFile(const QString &fileName) : path(fileName) {
    stamp = statFile();
    if (stamp.exists) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw std::runtime_error(
                QStringLiteral("Cannot read file %1: %2").arg(path, f.errorString()).toStdString());
        load(f.readAll());
        backupDue = !backedUp().contains(absolute(path));
    }
    reindex();
}

TIniFile::Stamp TIniFile::statFile() const {
    Stamp s;
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0) return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    return s;
}

TIniFile::Line TIniFile::parseLine(const QString &text, const QString &end) {
    Line l;
    l.text = text;
    l.end = end;
    const QString t = trimBlanks(text);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            l.kind = Kind::Section;
            l.name = trimBlanks(t.mid(1, close - 1));
        }
        return l;
    }
    if (t.startsWith(';')) return l;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) return l;
    const QString key = trimBlanks(text.left(eq));
    if (key.isEmpty()) return l;
    l.kind = Kind::Key;
    l.name = key;
    l.value = trimBlanks(text.mid(eq + 1));
    return l;
}

void TIniFile::load(const QByteArray &bytes) {
    foundBytes = bytes;
    const QString text = DecodeTextBytes(bytes, &encoding);
    lines.clear();
    if (encoding == TextEncoding::Utf8Bom) {
        // Split the bytes themselves, so each line keeps its own.
        qsizetype start = 3;
        const qsizetype n = bytes.size();
        auto add = [&](qsizetype endAt, const QString &end) {
            const QByteArray raw = bytes.mid(start, endAt - start);
            lines.append(parseLine(QString::fromUtf8(raw), end));
            lines.last().raw = raw;
        };
        for (qsizetype i = start; i < n; ++i) {
            const char c = bytes[i];
            if (c != '\r' && c != '\n') continue;
            const bool crlf = c == '\r' && i + 1 < n && bytes[i + 1] == '\n';
            add(i, crlf ? QStringLiteral("\r\n") : QString(QLatin1Char(c)));
            i += crlf ? 1 : 0;
            start = i + 1;
        }
        if (start < n) add(n, QString());
        return;
    }
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != '\r' && c != '\n') continue;
        QString end;
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
            end = QStringLiteral("\r\n");
        else
            end = QString(c);
        lines.append(parseLine(text.mid(start, i - start), end));
        i += end.size() - 1;
        start = i + 1;
    }
    if (start < n) lines.append(parseLine(text.mid(start), QString()));
}

void TIniFile::reindex() {
    sections.clear();
    sectionOrder.clear();
    SectionInfo *current = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        if (l.kind == Kind::Section) {
            if (current) current->blocks.last().end = i;
            const QString folded = FoldUpper(l.name);
            auto it = sections.find(folded);
            if (it == sections.end()) {
                it = sections.insert(folded, SectionInfo{l.name, {}, {}, {}});
                sectionOrder.append(folded);
            }
            current = &it.value();
            current->blocks.append(Block{i, int(lines.size())});
        } else if (l.kind == Kind::Key && current) {
            const QString folded = FoldUpper(l.name);
            if (!current->firstKey.contains(folded)) {
                current->firstKey.insert(folded, i);
                current->keyOrder.append(folded);
            }
        }
    }
}

void TIniFile::refresh(bool throwOnError) {
    const Stamp now = statFile();
    if (now == stamp) return;
    if (!now.exists) {
        lines.clear();
        foundBytes.clear();
        stamp = now;
        backupDue = false;
        reindex();
        return;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        // Keeps what it has and tries again next time.
        if (throwOnError)
            throw std::runtime_error(
                QStringLiteral("Cannot read file %1: %2").arg(path, f.errorString()).toStdString());
        return;
    }
    load(f.readAll());
    stamp = now;
    backupDue = true;
    reindex();
}

QString TIniFile::newLineEnd() const {
    for (const Line &l : lines)
        if (!l.end.isEmpty()) return l.end;
    return QStringLiteral("\r\n");
}

const TIniFile::SectionInfo *TIniFile::find(const QString &section) const {
    auto it = sections.constFind(FoldUpper(trimBlanks(section)));
    return it == sections.constEnd() ? nullptr : &it.value();
}

const TIniFile::Line *TIniFile::findKey(const QString &section, const QString &key) {
    refresh(false);
    const SectionInfo *s = find(section);
    if (!s) return nullptr;
    auto it = s->firstKey.constFind(FoldUpper(trimBlanks(key)));
    return it == s->firstKey.constEnd() ? nullptr : &lines[it.value()];
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) {
    const Line *l = findKey(section, key);
    return l ? l->value : def;
}

qint64 TIniFile::ReadInt64(const QString &section, const QString &key, qint64 def) {
    const Line *l = findKey(section, key);
    qint64 v;
    return l && parseInteger(l->value, &v) ? v : def;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) {
    const Line *l = findKey(section, key);
    qint64 v;
    if (!l || !parseInteger(l->value, &v)) return def;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return def;
    return int(v);
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) {
    const Line *l = findKey(section, key);
    qint64 v;
    return l && parseInteger(l->value, &v) ? v != 0 : def;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) {
    return findKey(section, key);
}

bool TIniFile::SectionExists(const QString &section) {
    refresh(false);
    return find(section);
}

QStringList TIniFile::ReadSection(const QString &section) {
    refresh(false);
    QStringList out;
    if (const SectionInfo *s = find(section))
        for (const QString &k : s->keyOrder)
            out << lines[s->firstKey.value(k)].name;
    return out;
}

QStringList TIniFile::ReadSectionValues(const QString &section) {
    refresh(false);
    QStringList out;
    if (const SectionInfo *s = find(section))
        for (const QString &k : s->keyOrder) {
            const Line &l = lines[s->firstKey.value(k)];
            out << l.name + '=' + l.value;
        }
    return out;
}

QStringList TIniFile::ReadSections() {
    refresh(false);
    QStringList out;
    for (const QString &s : sectionOrder)
        out << sections.value(s).spelled;
    return out;
}

QString TIniFile::checkKey(const QString &key) {
    const QString k = trimBlanks(key);
    const QString shown = QLatin1Char('"') + key + QLatin1Char('"');
    if (k.isEmpty())
        refuse(QStringLiteral("key ") + shown, QStringLiteral("a key may not be empty"));
    if (k.contains('='))
        refuse(QStringLiteral("key ") + shown, QStringLiteral("a key may not contain \"=\""));
    if (hasLineBreak(k))
        refuse(QStringLiteral("key ") + shown,
               QStringLiteral("a key may not contain a line break"));
    if (k.startsWith('['))
        refuse(QStringLiteral("key ") + shown, QStringLiteral("a key may not start with \"[\""));
    if (k.startsWith(';'))
        refuse(QStringLiteral("key ") + shown, QStringLiteral("a key may not start with \";\""));
    return k;
}

QString TIniFile::checkSection(const QString &section) {
    const QString s = trimBlanks(section);
    const QString shown = QStringLiteral("section \"") + section + QLatin1Char('"');
    if (s.contains(']')) refuse(shown, QStringLiteral("a section name may not contain \"]\""));
    if (hasLineBreak(s))
        refuse(shown, QStringLiteral("a section name may not contain a line break"));
    return s;
}

QByteArray TIniFile::render(const QList<Line> &all, TextEncoding *used) const {
    if (encoding == TextEncoding::Utf8Bom) {
        QByteArray bytes("\xEF\xBB\xBF");
        for (const Line &l : all) {
            bytes += l.raw.isEmpty() ? l.text.toUtf8() : l.raw;
            bytes += l.end.toLatin1();
        }
        if (used) *used = encoding;
        return bytes;
    }
    QString text;
    qsizetype size = 0;
    for (const Line &l : all)
        size += l.text.size() + l.end.size();
    text.reserve(size);
    for (const Line &l : all) {
        text += l.text;
        text += l.end;
    }
    return EncodeTextBytesAs(text, encoding, used);
}

void TIniFile::change(const std::function<bool(QList<Line> &)> &edit) {
    refresh(true);
    QList<Line> copy = lines;
    if (!edit(copy)) return;
    TextEncoding used;
    const QByteArray bytes = render(copy, &used);
    const bool backup = backupDue && stamp.exists;
    if (backup) saveFunction()(path + QStringLiteral(".bak"), foundBytes);
    saveFunction()(path, bytes);
    lines = std::move(copy);
    encoding = used;
    foundBytes = bytes;
    stamp = statFile();
    if (backup) backedUp().insert(absolute(path));
    backupDue = false;
    reindex();
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const QString s = checkSection(section);
    const QString k = checkKey(key);
    if (hasLineBreak(value))
        refuse(QStringLiteral("the value of key \"") + key + QLatin1Char('"'),
               QStringLiteral("a value may not contain a line break"));
    const QString v = trimBlanks(value);
    change([&](QList<Line> &copy) {
        const QString eol = newLineEnd();
        const SectionInfo *info = find(s);
        if (info) {
            const int at = info->firstKey.value(FoldUpper(k), -1);
            if (at >= 0) {
                copy[at] = parseLine(copy[at].name + '=' + v, copy[at].end);
                return true;
            }
            // After the last key of the section's last block, else its header.
            const Block &b = info->blocks.last();
            int after = b.header;
            for (int i = b.header + 1; i < b.end; ++i)
                if (copy[i].kind == Kind::Key) after = i;
            if (copy[after].end.isEmpty()) copy[after].end = eol;
            copy.insert(after + 1, parseLine(k + '=' + v, eol));
            return true;
        }
        if (!copy.isEmpty()) {
            if (copy.last().end.isEmpty()) copy.last().end = eol;
            if (!trimBlanks(copy.last().text).isEmpty()) copy.append(parseLine(QString(), eol));
        }
        copy.append(parseLine(QLatin1Char('[') + s + QLatin1Char(']'), eol));
        copy.append(parseLine(k + '=' + v, eol));
        return true;
    });
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteInt64(const QString &section, const QString &key, qint64 value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString &section, const QString &key) {
    const QString folded = FoldUpper(trimBlanks(key));
    change([&](QList<Line> &copy) {
        const SectionInfo *info = find(section);
        if (!info || !info->firstKey.contains(folded)) return false;
        for (auto b = info->blocks.crbegin(); b != info->blocks.crend(); ++b)
            for (int i = b->end - 1; i > b->header; --i)
                if (copy[i].kind == Kind::Key && FoldUpper(copy[i].name) == folded)
                    copy.removeAt(i);
        return true;
    });
}

void TIniFile::ReplaceSections(const QList<SectionContent> &changes) {
    struct Checked {
        QString section;
        QList<QPair<QString, QString>> values;
        bool placed = false;
    };
    QHash<QString, int> byName;
    QList<Checked> checked;
    for (const SectionContent &c : changes) {
        Checked one{checkSection(c.section), {}};
        for (const auto &kv : c.values) {
            const QString k = checkKey(kv.first);
            if (hasLineBreak(kv.second))
                refuse(QStringLiteral("the value of key \"") + kv.first + QLatin1Char('"'),
                       QStringLiteral("a value may not contain a line break"));
            one.values.append({k, trimBlanks(kv.second)});
        }
        const QString folded = FoldUpper(one.section);
        if (byName.contains(folded))
            checked[byName.value(folded)] = one;
        else {
            byName.insert(folded, int(checked.size()));
            checked.append(one);
        }
    }
    change([&](QList<Line> &copy) {
        const QString eol = newLineEnd();
        QList<Line> out;
        int current = -1;    // index into checked of the section being walked
        bool dropping = false; // a later block of a replaced section
        bool changed = false;
        for (const Line &l : copy) {
            if (l.kind == Kind::Section) {
                current = byName.value(FoldUpper(l.name), -1);
                dropping = false;
                if (current >= 0) {
                    Checked &c = checked[current];
                    changed = true;
                    if (c.placed) {
                        dropping = true;
                        continue;
                    }
                    c.placed = true;
                    Line header = l;
                    if (header.end.isEmpty()) header.end = eol;
                    out.append(header);
                    for (const auto &kv : c.values)
                        out.append(parseLine(kv.first + '=' + kv.second, eol));
                    continue;
                }
            }
            if (dropping) continue;
            if (current >= 0 && l.kind == Kind::Key) continue;
            out.append(l);
        }
        for (Checked &c : checked) {
            if (c.placed) continue;
            changed = true;
            if (!out.isEmpty()) {
                if (out.last().end.isEmpty()) out.last().end = eol;
                if (!trimBlanks(out.last().text).isEmpty()) out.append(parseLine(QString(), eol));
            }
            out.append(parseLine(QLatin1Char('[') + c.section + QLatin1Char(']'), eol));
            for (const auto &kv : c.values) out.append(parseLine(kv.first + '=' + kv.second, eol));
        }
        if (!changed) return false;
        copy = std::move(out);
        return true;
    });
}

void TIniFile::ReplaceSection(const QString &section, const QList<QPair<QString, QString>> &values) {
    ReplaceSections({{section, values}});
}

void TIniFile::EraseSection(const QString &section) {
    change([&](QList<Line> &copy) {
        const SectionInfo *info = find(section);
        if (!info) return false;
        for (auto b = info->blocks.crbegin(); b != info->blocks.crend(); ++b)
            copy.remove(b->header, b->end - b->header);
        return true;
    });
}
