#include "presentation/whiteboard/WhiteboardItem.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "platform/ini/IniFile.h"

#include <QHash>
#include <algorithm>

namespace {

const QString kSection = QStringLiteral("%");
const QString kBak = QStringLiteral(".Bak");
const QString kPrompt = QStringLiteral("Description...");

QString sectionOf(const QString &name) { return kSection + name; }

bool endsInBak(const QString &s) { return s.endsWith(kBak, Qt::CaseInsensitive); }

bool wholeNumber(const QString &s, int *out) {
    if (s.isEmpty() || s.size() > 9) return false;
    for (QChar c : s)
        if (c < '0' || c > '9') return false;
    *out = s.toInt();
    return true;
}

// A piece the old 999-character cut could leave: digits and commas, fewer
// than three numbers or an empty last one.
bool cutPiece(const QString &piece) {
    const QStringList f = piece.split(',');
    if (f.size() > 3) return false;
    for (const QString &x : f)
        for (QChar c : x)
            if (c < '0' || c > '9') return false;
    return f.size() < 3 || f.last().isEmpty();
}

enum class LineRead { Ok, Cut, Bad };

LineRead parseSteps(const QString &value, QList<StepPos> &steps) {
    steps.clear();
    if (!value.startsWith('|')) return LineRead::Bad;
    const QStringList pieces = value.mid(1).split('|');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QStringList f = pieces[i].split(',');
        StepPos p;
        if (f.size() == 3 && wholeNumber(f[0], &p.x) && wholeNumber(f[1], &p.y) &&
            wholeNumber(f[2], &p.dir) && p.dir <= 7 && p.x <= WhiteboardMaxCoordinate &&
            p.y <= WhiteboardMaxCoordinate) {
            steps.append(p);
            continue;
        }
        const bool last = i == pieces.size() - 1;
        if (last && !steps.isEmpty() && value.size() >= 999 && cutPiece(pieces[i]))
            return LineRead::Cut;
        return LineRead::Bad;
    }
    return LineRead::Ok;
}

QString badKeyMessage(const QString &name, const QString &key) {
    return QStringLiteral("Whiteboard item \"") + name + QStringLiteral("\" cannot be opened:\r") +
           QStringLiteral("its key \"") + key +
           QStringLiteral("\" is not \"|\" followed by steps \"x,y,facing\" "
                          "(whole numbers up to 20000, facing 0 to 7).");
}

int intOr(const QHash<QString, QString> &keys, const QString &key, int def) {
    int v;
    const QString s = keys.value(key);
    if (s.startsWith('-') && wholeNumber(s.mid(1), &v)) return -v;
    return wholeNumber(s, &v) ? v : def;
}

QHash<QString, QString> keyMap(const QStringList &keyValues) {
    QHash<QString, QString> keys;
    for (const QString &kv : keyValues) {
        const qsizetype eq = kv.indexOf('=');
        if (eq <= 0) continue;
        const QString k = kv.left(eq).trimmed().toUpper();
        if (!keys.contains(k)) keys.insert(k, kv.mid(eq + 1).trimmed());
    }
    return keys;
}

QList<QPair<QString, QString>> pairsOf(const QStringList &keyValues) {
    QList<QPair<QString, QString>> out;
    for (const QString &kv : keyValues) {
        const qsizetype eq = kv.indexOf('=');
        if (eq > 0) out.append({kv.left(eq), kv.mid(eq + 1)});
    }
    return out;
}

// A section's values as "KEY=value" lines in key order, keys folded: two
// sections hold the same item whatever the order and case of their keys.
QStringList sortedValues(const QList<QPair<QString, QString>> &values) {
    QStringList out;
    for (const auto &kv : values) out << FoldUpper(kv.first.trimmed()) + '=' + kv.second.trimmed();
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

QString StepText(const StepPos &p) {
    return QString::number(p.x) + ',' + QString::number(p.y) + ',' + QString::number(p.dir);
}

QString DancerLine(const QList<StepPos> &steps) {
    QString s;
    for (const StepPos &p : steps) s += '|' + StepText(p);
    return s;
}

QString DancerName(int number) {
    return number <= 8 ? QStringLiteral("Man") + QString::number(number)
                       : QStringLiteral("Wo") + QString::number(number - 8);
}

QString DancerPicture(int number, int dir) {
    return DancerName(number) + (dir % 2 ? QStringLiteral("D") : QString());
}

int TurnFacing(int dir, int turn) { return (dir + turn + 8) % 8; }

WhiteboardItem::Dancer *WhiteboardItem::find(int number) {
    for (Dancer &d : dancers)
        if (d.number == number) return &d;
    return nullptr;
}

QStringList WhiteboardItem::lines() const {
    QStringList out;
    for (const Dancer &d : dancers) out << QString::number(d.number) + '=' + DancerLine(d.steps);
    return out;
}

bool WhiteboardItem::countsAsNamed() const {
    return !dancers.isEmpty() && dancers.last().steps.size() > 1;
}

QString ItemKind(const WhiteboardItem &item, int currentStep) {
    const int steps = std::max(item.storedSteps(), currentStep);
    if (steps < 3) return QStringLiteral("formation");
    return item.figure ? QStringLiteral("figure") : QStringLiteral("dance");
}

QString StepCountText(const WhiteboardItem &item, int currentStep) {
    return QStringLiteral("of ") + QString::number(std::max(item.storedSteps(), currentStep));
}

QString ParseWhiteboardItem(const QStringList &keyValues, const QString &name,
                            WhiteboardItem &item) {
    item = WhiteboardItem();
    const QHash<QString, QString> keys = keyMap(keyValues);
    WhiteboardItem read;
    bool cut = false;
    for (int n = 1; n <= 16; ++n) {
        const QString key = QString::number(n);
        const QString value = keys.value(key);
        if (key.size() + 1 + value.size() <= 4) continue;
        WhiteboardItem::Dancer d{n, {}};
        const LineRead r = parseSteps(value, d.steps);
        if (r == LineRead::Bad) return badKeyMessage(name, key);
        cut = cut || r == LineRead::Cut;
        read.dancers.append(d);
    }
    qsizetype most = 0;
    for (const auto &d : read.dancers) most = std::max(most, d.steps.size());
    for (auto &d : read.dancers) {
        if (d.steps.size() == most) continue;
        cut = true;
        while (d.steps.size() < most) d.steps.append(d.steps.last());
    }
    if (cut)
        WriteLog(QStringLiteral("Whiteboard: ") + name +
                 QStringLiteral(" had lines cut short; opened with whole steps padded to ") +
                 QString::number(most));
    const QStringList centre = keys.value(QStringLiteral("CENTRE"), QStringLiteral("637|385")).split('|');
    int cx, cy;
    if (centre.size() == 2 && wholeNumber(centre[0], &cx) && wholeNumber(centre[1], &cy))
        read.centre = QPoint(cx, cy);
    read.image = keys.value(QStringLiteral("IMAGE"));
    read.imageTop = intOr(keys, QStringLiteral("IMAGETOP"), 390);
    read.imageLeft = intOr(keys, QStringLiteral("IMAGELEFT"), 100);
    const QString text = keys.value(QStringLiteral("TEXT"));
    read.textOn = !text.isEmpty();
    read.text = QString(text).replace(QStringLiteral("§"), QStringLiteral("\r\n"));
    read.textTop = intOr(keys, QStringLiteral("TEXTTOP"), 450);
    read.textLeft = intOr(keys, QStringLiteral("TEXTLEFT"), 770);
    read.figure = !keys.value(QStringLiteral("FIGURE")).isEmpty();
    read.comment = keys.value(QStringLiteral("COMMENT"));
    item = read;
    return QString();
}

QString ReadWhiteboardItem(TIniFile &ini, const QString &name, WhiteboardItem &item) {
    item = WhiteboardItem();
    if (!ini.SectionExists(sectionOf(name))) return name + QStringLiteral(" not found.");
    return ParseWhiteboardItem(ini.ReadSectionValues(sectionOf(name)), name, item);
}

QList<QPair<QString, QString>> WhiteboardSectionValues(const WhiteboardItem &item,
                                                       bool *keptFinal) {
    QList<QPair<QString, QString>> out;
    bool final = false;
    for (const auto &d : item.dancers) {
        QList<StepPos> steps = d.steps;
        if (steps.size() == 2) {
            steps.removeFirst();
            final = true;
        }
        out.append({QString::number(d.number), DancerLine(steps)});
    }
    if (keptFinal) *keptFinal = final;
    out.append({QStringLiteral("Centre"),
                QString::number(item.centre.x()) + '|' + QString::number(item.centre.y())});
    if (!item.image.isEmpty()) {
        out.append({QStringLiteral("ImageTop"), QString::number(item.imageTop)});
        out.append({QStringLiteral("ImageLeft"), QString::number(item.imageLeft)});
        out.append({QStringLiteral("Image"), item.image});
    }
    if (item.textOn) {
        QString t = item.text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("§")).replace('\n', QStringLiteral("§"));
        out.append({QStringLiteral("Text"), t});
        out.append({QStringLiteral("TextTop"), QString::number(item.textTop)});
        out.append({QStringLiteral("TextLeft"), QString::number(item.textLeft)});
    }
    if (item.figure) out.append({QStringLiteral("Figure"), QStringLiteral("Y")});
    const QString comment = item.comment.trimmed();
    if (!comment.isEmpty() && comment != kPrompt) out.append({QStringLiteral("Comment"), comment});
    return out;
}

QString CheckItemName(const QString &name) {
    const QString shown = QLatin1Char('"') + name + QLatin1Char('"');
    if (name.trimmed().isEmpty()) return QStringLiteral("Please type a name.");
    if (endsInBak(name.trimmed()))
        return shown + QStringLiteral(" cannot be used: a name may not end in \".Bak\".");
    if (name.contains(']'))
        return shown + QStringLiteral(" cannot be used: a name may not hold \"]\".");
    if (name.contains('\r') || name.contains('\n'))
        return shown + QStringLiteral(" cannot be used: a name may not hold a line break.");
    return QString();
}

bool NeedsSampleItems(const QString &iniText) {
    if (iniText.startsWith(QStringLiteral("[%"))) return false;
    return !iniText.contains(QStringLiteral("\n[%")) && !iniText.contains(QStringLiteral("\r[%"));
}

QString WithSampleItems(const QString &iniText) {
    static const QStringList samples = {
        QStringLiteral("[%4 Cu]"),
        QStringLiteral("1=|500,200,2"), QStringLiteral("2=|500,300,2"),
        QStringLiteral("3=|500,400,2"), QStringLiteral("4=|500,500,2"),
        QStringLiteral("9=|700,200,6"), QStringLiteral("10=|700,300,6"),
        QStringLiteral("11=|700,400,6"), QStringLiteral("12=|700,500,6"),
        QStringLiteral("Centre=637|385"),
        QStringLiteral("[%Lilli Burlero]"),
        QStringLiteral("1=|500,200,2|566,400,5|350,300,0|500,200,2|500,200,2|500,200,2|500,200,2|700,200,5|700,500,7|500,500,1|500,200,3|500,200,2|600,250,4|600,450,4|600,450,0|600,250,0|500,300,4|500,500,2|500,500,2|500,500,2|500,500,2|500,500,2|700,500,1|700,200,3|500,200,5|500,500,7|500,500,2|500,500,0"),
        QStringLiteral("2=|500,500,2|500,500,2|500,500,2|500,500,2|566,300,7|350,400,4|500,500,2|500,200,3|700,200,5|700,500,7|500,500,1|500,500,2|500,500,2|500,500,2|500,500,2|500,500,2|500,350,0|500,200,2|566,400,5|350,300,0|500,200,2|500,200,2|500,500,7|700,500,1|700,200,3|500,200,5|500,200,2|500,200,0"),
        QStringLiteral("9=|700,200,6|633,400,3|850,300,0|700,200,6|700,200,6|700,200,6|700,200,6|700,500,7|500,500,1|500,200,3|700,200,5|700,200,6|620,250,4|620,450,4|620,450,0|620,250,0|700,300,4|700,500,6|700,500,6|700,500,6|700,500,6|700,500,6|700,200,3|500,200,5|500,500,7|700,500,1|700,500,6|700,500,0"),
        QStringLiteral("10=|700,500,6|700,500,6|700,500,6|700,500,6|633,300,1|850,400,4|700,500,6|500,500,1|500,200,3|700,200,5|700,500,7|700,500,6|700,500,6|700,500,6|700,500,6|700,500,6|700,350,0|700,200,6|633,400,3|850,300,0|700,200,6|700,200,6|500,200,5|500,500,7|700,500,1|700,200,3|700,200,6|700,200,0"),
        QStringLiteral("Centre=638|285"),
    };
    // The sample lines are joined by a carriage return alone, as the file
    // class reads any of CR LF, LF and CR.
    return iniText + '\r' + samples.join('\r');
}

QStringList ChooserEntries(TIniFile &ini, ChooserMode mode) {
    QStringList sections = ini.ReadSections();
    std::sort(sections.begin(), sections.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QStringList out;
    for (const QString &s : sections) {
        if (!s.startsWith(kSection) || endsInBak(s)) continue;
        const QString one = ini.ReadString(s, QStringLiteral("1"), QString());
        const bool image = !ini.ReadString(s, QStringLiteral("Image"), QString()).isEmpty();
        const bool figure = !ini.ReadString(s, QStringLiteral("Figure"), QString()).isEmpty();
        const bool dance = mode != ChooserMode::Figure && (one.indexOf('|', 1) >= 0 || image);
        const bool take = mode == ChooserMode::Open   ? dance && !figure
                          : mode == ChooserMode::New  ? !dance && !figure
                                                      : figure;
        if (take) out << s.mid(1);
    }
    return out;
}

int Scaled(int v, bool large) { return large ? v * 5 / 4 : v; }

QList<QPoint> ChooserPlaces(int count, int startLeft, int clientWidth, bool large) {
    QList<QPoint> out;
    int left = startLeft, top = 40;
    for (int i = 0; i < count; ++i) {
        const QPoint at(Scaled(left, large), Scaled(top, large));
        out << at;
        left += 140;
        if (at.x() + Scaled(130, large) > clientWidth - 160) {
            left = 20;
            top += 40;
        }
    }
    return out;
}

void SaveWhiteboardItem(TIniFile &ini, const QString &name, const WhiteboardItem &item,
                        bool *keptFinal) {
    const QString section = sectionOf(name);
    const auto old = pairsOf(ini.ReadSectionValues(section));
    // A new item has nothing to back up: no empty backup is made (Restore
    // would then empty the item), and a backup kept from a deleted item of
    // that name stays.
    if (old.isEmpty())
        ini.ReplaceSection(section, WhiteboardSectionValues(item, keptFinal));
    else
        ini.ReplaceSections({{section + kBak, old}, {section, WhiteboardSectionValues(item, keptFinal)}});
}

QString RestoreWhiteboardItem(TIniFile &ini, const QString &name) {
    const QString section = sectionOf(name);
    if (!ini.SectionExists(section + kBak))
        return section + kBak + QStringLiteral(" - SectName does not exist");
    const auto old = pairsOf(ini.ReadSectionValues(section));
    const auto backup = pairsOf(ini.ReadSectionValues(section + kBak));
    ini.ReplaceSections({{section + kBak, old}, {section, backup}});
    return QString();
}

QString LibraryKind(TIniFile &library, const QString &section) {
    if (!library.ReadString(section, QStringLiteral("Figure"), QString()).isEmpty())
        return QStringLiteral("Figure");
    if (library.ReadString(section, QStringLiteral("1"), QString()).indexOf('|', 1) >= 0)
        return QStringLiteral("Dance");
    return QStringLiteral("Formation");
}

void ImportWhiteboardItems(TIniFile &library, TIniFile &ini, const QStringList &sections) {
    QList<TIniFile::SectionContent> changes;
    for (const QString &s : sections) {
        QList<QPair<QString, QString>> kept;
        for (const auto &kv : pairsOf(library.ReadSectionValues(s)))
            if (!kv.first.trimmed().startsWith('I', Qt::CaseInsensitive)) kept.append(kv);
        // An item of the same name is kept as its backup, as a save keeps
        // it, so Restore brings it back. An item that already is the
        // library's text is left as it stands: its backup may hold the
        // user's own item from the first import, which a copy of the
        // library's text must not replace.
        const auto old = pairsOf(ini.ReadSectionValues(s));
        if (!old.isEmpty() && sortedValues(old) == sortedValues(kept)) continue;
        if (!old.isEmpty()) changes.append({s + kBak, old});
        changes.append({s, kept});
    }
    if (!changes.isEmpty()) ini.ReplaceSections(changes);
}

int AddFigure(WhiteboardItem &item, int currentStep, const WhiteboardItem &figure) {
    if (currentStep < 1 || currentStep > item.storedSteps() || figure.dancers.isEmpty()) return 0;
    const int at = currentStep - 1;
    const int k = int(figure.dancers.last().steps.size());
    for (auto &d : item.dancers) {
        const StepPos here = d.steps[at];
        QList<StepPos> inserted;
        const WhiteboardItem::Dancer *f = nullptr;
        for (const auto &fd : figure.dancers)
            if (fd.number == d.number) f = &fd;
        if (f) {
            const StepPos first = f->steps.first();
            for (int i = 0; i < k; ++i) {
                StepPos p = f->steps[std::min<qsizetype>(i, f->steps.size() - 1)];
                p.x += here.x - first.x;
                p.y += here.y - first.y;
                inserted << p;
            }
        } else {
            inserted.fill(here, k);
        }
        for (int i = k - 1; i >= 0; --i) d.steps.insert(at, inserted[i]);
    }
    return k;
}
