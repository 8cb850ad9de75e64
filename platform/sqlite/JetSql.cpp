#include "platform/sqlite/JetSql.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Database.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == '_' || c.unicode() >= 0x80; }
bool isWordChar(QChar c) { return isWordStart(c) || c.isDigit() || c == '$'; }

bool isWord(const JetToken &t, const char *word) {
    return t.kind == JetToken::Word && SameText(t.text, QLatin1String(word));
}

// Index of the next token that is not a space, or tokens.size().
int nextSolid(const QList<JetToken> &tokens, int from) {
    while (from < tokens.size() && tokens[from].kind == JetToken::Space) ++from;
    return int(tokens.size()) > from ? from : int(tokens.size());
}

const QDate DayZero(1899, 12, 30);

QString dateLiteralToNumber(const QString &literal, const QString &sql) {
    const QString body = literal.mid(1, literal.size() - 2).trimmed();
    static const QRegularExpression us(QStringLiteral(
        "^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?)?$"));
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?)?$"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = us.match(body);
    if (match.hasMatch()) {
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = match.captured(3).toInt();
        if (match.captured(3).size() == 2) y += y < 30 ? 2000 : 1900;
    } else {
        match = iso.match(body);
        if (!match.hasMatch()) throw DbError(QStringLiteral("Invalid date literal %1.").arg(literal), sql);
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    }
    const QDate date(y, m, d);
    if (!date.isValid()) throw DbError(QStringLiteral("Invalid date literal %1.").arg(literal), sql);
    double value = double(DayZero.daysTo(date));
    if (!match.captured(4).isEmpty()) {
        int h = match.captured(4).toInt();
        const int mi = match.captured(5).toInt();
        const int s = match.captured(6).toInt();
        const QString ampm = match.captured(7).toUpper();
        if (ampm == QLatin1String("PM") && h < 12) h += 12;
        if (ampm == QLatin1String("AM") && h == 12) h = 0;
        if (h > 23 || mi > 59 || s > 59) throw DbError(QStringLiteral("Invalid date literal %1.").arg(literal), sql);
        value += (h * 3600 + mi * 60 + s) / 86400.0;
        return QString::number(value, 'g', 17);
    }
    return QString::number(qint64(value));
}

QString singleQuoted(const QString &doubleQuoted) {
    QString inner = doubleQuoted.mid(1, doubleQuoted.size() - 2);
    inner.replace(QLatin1String("\"\""), QLatin1String("\""));
    return DoubleQuotes(inner);
}

const QString TextColumnClauses = QStringLiteral(" NOT NULL ON CONFLICT REPLACE DEFAULT '' COLLATE NOCASE");

// Alter table T Add [Column] C Type[(n)] ...: the type takes the catalogue's
// column form.
void translateAddColumn(QList<JetToken> &t, const QString &sql) {
    int i = nextSolid(t, 0);
    if (i >= t.size() || !isWord(t[i], "ALTER")) return;
    i = nextSolid(t, i + 1);
    if (i >= t.size() || !isWord(t[i], "TABLE")) return;
    i = nextSolid(t, i + 1); // table name
    i = nextSolid(t, i + 1);
    if (i >= t.size() || !isWord(t[i], "ADD")) return;
    i = nextSolid(t, i + 1);
    if (i < t.size() && isWord(t[i], "COLUMN")) i = nextSolid(t, i + 1);
    i = nextSolid(t, i + 1); // past the column name: the type
    if (i >= t.size() || t[i].kind != JetToken::Word) return;
    const QString type = FoldUpper(t[i].text);
    int end = i + 1;
    QString size;
    const int open = nextSolid(t, i + 1);
    if (open < t.size() && t[open].text == QLatin1String("(")) {
        const int num = nextSolid(t, open + 1);
        const int close = num < t.size() ? nextSolid(t, num + 1) : num;
        if (num >= t.size() || t[num].kind != JetToken::Number || close >= t.size() || t[close].text != QLatin1String(")"))
            throw DbError(QStringLiteral("The column size must be a number in parentheses."), sql);
        size = t[num].text;
        end = close + 1;
    }
    QString replacement;
    if (type == QLatin1String("CHAR") || type == QLatin1String("VARCHAR") || type == QLatin1String("TEXT") ||
        type == QLatin1String("CHARACTER")) {
        replacement = QStringLiteral("VARCHAR(%1)").arg(size.isEmpty() ? QStringLiteral("255") : size) + TextColumnClauses;
    } else if (type == QLatin1String("MEMO") || type == QLatin1String("LONGTEXT")) {
        replacement = QStringLiteral("LONGTEXT") + TextColumnClauses;
    } else {
        return;
    }
    t[i].text = replacement;
    t.erase(t.begin() + i + 1, t.begin() + end);
}

// Select [Distinct] Top n ... becomes ... LIMIT n at the end of that select.
void translateTop(QList<JetToken> &t, const QString &sql) {
    struct Frame {
        int depth;
        QString limit;
    };
    QList<Frame> frames;
    int depth = 0;
    QList<JetToken> out;
    auto closeFrames = [&](int downTo) {
        while (!frames.isEmpty() && frames.last().depth > downTo) {
            const Frame f = frames.takeLast();
            if (!f.limit.isEmpty()) {
                while (!out.isEmpty() && out.last().kind == JetToken::Space) out.removeLast();
                out.append({JetToken::Word, QStringLiteral(" LIMIT ") + f.limit});
            }
        }
    };
    for (int i = 0; i < t.size(); ++i) {
        const JetToken &tok = t[i];
        if (tok.kind == JetToken::Punct && tok.text == QLatin1String("(")) {
            ++depth;
        } else if (tok.kind == JetToken::Punct && tok.text == QLatin1String(")")) {
            closeFrames(depth - 1);
            depth = std::max(0, depth - 1);
        } else if (isWord(tok, "SELECT")) {
            out.append(tok);
            frames.append({depth, QString()});
            int j = nextSolid(t, i + 1);
            if (j < t.size() && (isWord(t[j], "DISTINCT") || isWord(t[j], "ALL") || isWord(t[j], "DISTINCTROW"))) {
                for (int k = i + 1; k <= j; ++k) out.append(t[k]);
                i = j;
                j = nextSolid(t, j + 1);
            }
            if (j < t.size() && isWord(t[j], "TOP")) {
                const int n = nextSolid(t, j + 1);
                if (n >= t.size() || t[n].kind != JetToken::Number || t[n].text.contains('.'))
                    throw DbError(QStringLiteral("Top must be followed by a whole number."), sql);
                const int after = nextSolid(t, n + 1);
                if (after < t.size() && isWord(t[after], "PERCENT"))
                    throw DbError(QStringLiteral("Top ... Percent is not supported."), sql);
                frames.last().limit = t[n].text;
                i = n; // the blank after the number stays and separates the columns
            }
            continue;
        }
        out.append(tok);
    }
    closeFrames(-1);
    t = out;
}

} // namespace

QList<JetToken> TokenizeJet(const QString &sql) {
    QList<JetToken> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto quoted = [&](QChar close, JetToken::Kind kind, bool doubling) {
        qsizetype j = i + 1;
        for (;;) {
            if (j >= n)
                throw DbError(QStringLiteral("Unterminated %1 in SQL statement.")
                                  .arg(kind == JetToken::Bracket ? QStringLiteral("bracketed name")
                                       : kind == JetToken::Date  ? QStringLiteral("date literal")
                                                                 : QStringLiteral("text literal")),
                              sql);
            if (sql[j] == close) {
                if (doubling && j + 1 < n && sql[j + 1] == close) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        out.append({kind, sql.mid(i, j - i + 1)});
        i = j + 1;
    };
    while (i < n) {
        const QChar c = sql[i];
        // SQLite's comments count as blanks, so nothing hides behind them.
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            qsizetype j = i + 2;
            while (j < n && sql[j] != '\n') ++j;
            out.append({JetToken::Space, sql.mid(i, j - i)});
            i = j;
            continue;
        }
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const qsizetype close = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype j = close < 0 ? n : close + 2;
            out.append({JetToken::Space, sql.mid(i, j - i)});
            i = j;
            continue;
        }
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && sql[j].isSpace()) ++j;
            out.append({JetToken::Space, sql.mid(i, j - i)});
            i = j;
        } else if (c == '\'') {
            quoted(QChar('\''), JetToken::String, true);
        } else if (c == '"') {
            quoted(QChar('"'), JetToken::DString, true);
        } else if (c == '[') {
            quoted(QChar(']'), JetToken::Bracket, false);
        } else if (c == '`') {
            quoted(QChar('`'), JetToken::Bracket, true);
        } else if (c == '#') {
            quoted(QChar('#'), JetToken::Date, false);
        } else if (c == '?') {
            out.append({JetToken::Param, QStringLiteral("?")});
            ++i;
        } else if (c.isDigit() || (c == '.' && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (sql[j].isDigit() || sql[j] == '.')) ++j;
            if (j < n && (sql[j] == 'e' || sql[j] == 'E')) {
                qsizetype k = j + 1;
                if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
                if (k < n && sql[k].isDigit()) {
                    j = k;
                    while (j < n && sql[j].isDigit()) ++j;
                }
            }
            out.append({JetToken::Number, sql.mid(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            qsizetype j = i;
            while (j < n && isWordChar(sql[j])) ++j;
            out.append({JetToken::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            out.append({JetToken::Punct, QString(c)});
            ++i;
        }
    }
    return out;
}

namespace {

QString unbracket(const JetToken &t) {
    return t.kind == JetToken::Bracket ? t.text.mid(1, t.text.size() - 2) : t.text;
}

// Alter table T Alter [Column] C Text(n): the table, column and size; false
// for any other statement.
bool alterColumn(const QList<JetToken> &t, const QString &sql, JetStatement *out) {
    int i = nextSolid(t, 0);
    if (i >= t.size() || !isWord(t[i], "ALTER")) return false;
    i = nextSolid(t, i + 1);
    if (i >= t.size() || !isWord(t[i], "TABLE")) return false;
    const int table = nextSolid(t, i + 1);
    i = nextSolid(t, table + 1);
    if (i >= t.size() || !isWord(t[i], "ALTER")) return false;
    i = nextSolid(t, i + 1);
    if (i < t.size() && isWord(t[i], "COLUMN")) i = nextSolid(t, i + 1);
    const int column = i;
    const int type = nextSolid(t, column + 1);
    const int open = nextSolid(t, type + 1);
    const int num = nextSolid(t, open + 1);
    const int close = nextSolid(t, num + 1);
    const auto fault = [&] {
        return DbError(QStringLiteral("Alter Column takes a text column and its size: Text(n)."), sql);
    };
    if (close >= t.size() || nextSolid(t, close + 1) < t.size()) throw fault();
    if (!(isWord(t[type], "TEXT") || isWord(t[type], "CHAR") || isWord(t[type], "VARCHAR")) ||
        t[open].text != QLatin1String("(") || t[num].kind != JetToken::Number || t[close].text != QLatin1String(")"))
        throw fault();
    bool ok = false;
    out->alterSize = t[num].text.toInt(&ok);
    if (!ok) throw fault();
    out->alterTable = unbracket(t[table]);
    out->alterColumn = unbracket(t[column]);
    return true;
}

} // namespace

JetStatement TranslateJet(const QString &sql) {
    QList<JetToken> t = TokenizeJet(sql);

    // One statement: a final ";" may stand, nothing after it.
    int depth = 0;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].kind != JetToken::Punct) continue;
        if (t[i].text == QLatin1String("(")) ++depth;
        else if (t[i].text == QLatin1String(")")) --depth;
        else if (t[i].text == QLatin1String(";") && depth <= 0) {
            if (nextSolid(t, i + 1) < t.size())
                throw DbError(QStringLiteral("Only one SQL statement can be run at a time."), sql);
            t.erase(t.begin() + i, t.end());
            break;
        }
    }
    if (nextSolid(t, 0) >= t.size()) throw DbError(QStringLiteral("The SQL statement is empty."), sql);

    for (int i = 0; i < t.size(); ++i) {
        JetToken &tok = t[i];
        switch (tok.kind) {
        case JetToken::DString:
            tok.kind = JetToken::String;
            tok.text = singleQuoted(tok.text);
            break;
        case JetToken::Date:
            tok.kind = JetToken::Number;
            tok.text = dateLiteralToNumber(tok.text, sql);
            break;
        case JetToken::Word:
            if (SameText(tok.text, QStringLiteral("ALike"))) {
                tok.text = QStringLiteral("LIKE");
            } else if (SameText(tok.text, QStringLiteral("Primary"))) {
                const int next = nextSolid(t, i + 1);
                if (next >= t.size() || !isWord(t[next], "KEY")) tok.text = QLatin1Char('[') + tok.text + QLatin1Char(']');
            }
            break;
        default:
            break;
        }
    }

    translateAddColumn(t, sql);

    JetStatement result;
    if (alterColumn(t, sql, &result)) return result;
    const int first = nextSolid(t, 0);
    if (isWord(t[first], "SELECT")) {
        depth = 0;
        for (int i = first + 1; i < t.size(); ++i) {
            if (t[i].kind == JetToken::Punct && t[i].text == QLatin1String("(")) ++depth;
            else if (t[i].kind == JetToken::Punct && t[i].text == QLatin1String(")")) --depth;
            else if (depth == 0 && isWord(t[i], "FROM")) break;
            else if (depth == 0 && isWord(t[i], "INTO")) {
                const int name = nextSolid(t, i + 1);
                if (name >= t.size() || (t[name].kind != JetToken::Word && t[name].kind != JetToken::Bracket) ||
                    isWord(t[name], "FROM"))
                    throw DbError(QStringLiteral("Into must be followed by a table name."), sql);
                result.intoTable = t[name].text;
                if (t[name].kind == JetToken::Bracket) result.intoTable = result.intoTable.mid(1, result.intoTable.size() - 2);
                // Drop "into T" and the blank before it.
                int from = i;
                if (from > 0 && t[from - 1].kind == JetToken::Space) --from;
                t.erase(t.begin() + from, t.begin() + name + 1);
                break;
            }
        }
    }

    translateTop(t, sql);

    for (const JetToken &tok : t) result.sql += tok.text;
    result.sql = result.sql.trimmed();
    return result;
}

bool HasIntoWord(const QString &sql) {
    try {
        for (const JetToken &t : TokenizeJet(sql))
            if (isWord(t, "INTO")) return true;
    } catch (const DbError &) {
        return false;
    }
    return false;
}

QString DoubleQuotes(const QString &s) {
    QString inner = s;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString SqlDate(double day) {
    const QDate d = DayZero.addDays(qint64(std::floor(day)));
    QString text = d.toString(QStringLiteral("MM/dd/yyyy"));
    const double fraction = day - std::floor(day);
    const int seconds = int(std::lround(fraction * 86400));
    if (seconds > 0 && seconds < 86400)
        text += QStringLiteral(" %1:%2:%3")
                    .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                    .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QLatin1Char('#') + text + QLatin1Char('#');
}
