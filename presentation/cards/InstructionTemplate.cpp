#include "presentation/cards/InstructionTemplate.h"

#include "base/FastStrings.h"
#include "platform/rtf/RtfWriter.h"
#include "presentation/InstructionText.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString ColourTable = QStringLiteral("{\\colortbl ;\\red128\\green255\\blue255;\\red0\\green0\\blue0;}");

QString Field(const QMap<QString, QString> &fields, const QString &name, bool *known = nullptr) {
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
            if (known) *known = true;
            return it.value();
        }
    if (known) *known = false;
    return {};
}

bool EndsWithControlWord(const QString &s) {
    qsizetype i = s.size();
    while (i > 0 && (s[i - 1].isLetterOrNumber() || s[i - 1] == QLatin1Char('-'))) --i;
    return i > 0 && i < s.size() && s[i - 1] == QLatin1Char('\\') && s[i].isLetter();
}

class Walk {
public:
    explicit Walk(const TemplateInput &in) : in_(in) {
        f_ = [&](const char *name) { return Field(in_.fields, QString::fromLatin1(name)); };
    }

    TemplateOutput run() {
        TemplateOutput r;
        r.instructions = f_("Instructions");
        r.footer = f_("Footer");
        QString t = in_.templateText;
        if (!in_.halfLines) t.replace(QStringLiteral("\\par \r\n"), QString());
        const qsizetype n = t.size();
        qsizetype i = 0;
        while (i < n) {
            if (t[i] != QLatin1Char('(') || i + 1 >= n || t[i + 1] != QLatin1Char('*')) {
                out_ += t[i++];
                continue;
            }
            if (!out_.endsWith(QLatin1Char(' '))) {
                qsizetype k = i - 1;
                while (k >= 0 && !QStringLiteral("\n\r &\\").contains(t[k])) --k;
                if (k >= 0 && t[k] == QLatin1Char('\\')) out_ += QLatin1Char(' ');
            }
            i += 2;
            while (i < n && t[i] == QLatin1Char('\\')) {
                const qsizetype blank = t.indexOf(QLatin1Char(' '), i);
                if (blank < 0) return missing(r);
                out_ += t.mid(i, blank - i + 1);
                i = blank + 1;
            }
            qsizetype end = i;
            while (end < n && t[end] != QLatin1Char('\\') && !(t[end] == QLatin1Char('*') && end + 1 < n && t[end + 1] == QLatin1Char(')')))
                ++end;
            if (end >= n) return missing(r);
            const QString name = t.mid(i, end - i).trimmed();
            const qsizetype close = t.indexOf(QLatin1String("*)"), end);
            if (close < 0) return missing(r);
            if (!value(name, r)) return r;
            const QString tail = t.mid(end, close - end);
            out_ += tail;
            if (EndsWithControlWord(tail)) out_ += QLatin1Char(' ');
            i = close + 2;
        }
        return finish(r);
    }

private:
    TemplateOutput missing(TemplateOutput &r) {
        r.outcome = TemplateOutput::MissingEnd;
        return r;
    }

    // Appends the value of name; false (with r set) for a name that is no field.
    bool value(const QString &name, TemplateOutput &r) {
        if (name.compare(QLatin1String("Footer"), Qt::CaseInsensitive) == 0) {
            footerValue();
            return true;
        }
        bool known = false;
        const QString v = Field(in_.fields, name, &known);
        if (!known) {
            r.outcome = TemplateOutput::UnknownField;
            r.unknownName = name;
            return false;
        }
        const QString key = name.toLower();
        // The footer rule has given the credit already: a template brought up
        // to date keeps its own author placeholder behind the footer's.
        if (creditWritten_ && (key == QLatin1String("author") || key == QLatin1String("collection"))) return true;
        if (key == QLatin1String("owntune"))
            out_ += v == QLatin1String("Y") && !in_.refine ? QStringLiteral("Own tune ") : QString();
        else if (key == QLatin1String("title"))
            out_ += RtfEscape(in_.displayTitle);
        else if (in_.refine && key == QLatin1String("format"))
            out_ += formatValue(v);
        else if (in_.refine && key == QLatin1String("rhythm"))
            out_ += rhythmValue(v);
        else
            out_ += RtfEscape(v);
        return true;
    }

    void footerValue() {
        if (!in_.useFooter) return;
        instructions_ = TrimTemplatePart(out_);
        hadFooter_ = true;
        out_.clear();
        const QString author = f_("Author"), collection = f_("Collection");
        if (!in_.refine || (author.isEmpty() && collection.isEmpty())) return;
        creditWritten_ = true;
        const QString footer = f_("Footer");
        if (footer.size() > 20) {
            out_ += footer;
            return;
        }
        if (!author.isEmpty()) {
            if (f_("OwnTune") == QLatin1String("Y") && f_("Style") != QLatin1String("Sung") &&
                !collection.contains(QLatin1String("Dancing Master"), Qt::CaseInsensitive))
                out_ += QStringLiteral("Dance: ");
            out_ += QStringLiteral("\\b ") + RtfEscape(author) + QStringLiteral("\\b0 ");
            if (!collection.isEmpty()) out_ += collection.size() == 4 ? QStringLiteral(", ") : QStringLiteral(" -- ");
        }
        if (!collection.isEmpty()) out_ += RtfEscape(collection);
    }

    QString formatValue(const QString &v) {
        if (v == QLatin1String("4 Cu, 3 working")) {
            addColourTable();
            return QStringLiteral("4 couples longways\\b\\~ \\cf1\\highlight2  3 working \\cf0\\highlight0\\b0");
        }
        QString out = RtfEscape(v);
        if (v.endsWith(QLatin1String("ouples")) && !v.startsWith(QLatin1Char('2'))) out += QStringLiteral(" longways");
        if (v == QLatin1String("Longways duple") && f_("Style") == QLatin1String("American")) out += QStringLiteral(" improper");
        return out;
    }

    // The colour table goes after the header's first "}}" in the output (or
    // in the instructions already split off), where the walk has been.
    void addColourTable() {
        if (in_.templateText.contains(QLatin1String("\\colortbl")) || colourTableAdded_) return;
        QString &target = hadFooter_ ? instructions_ : out_;
        const qsizetype at = target.indexOf(QLatin1String("}}"));
        if (at < 0) return;
        target.insert(at + 2, CrLf + ColourTable);
        colourTableAdded_ = true;
    }

    QString rhythmValue(const QString &v) {
        const QString style = f_("Style");
        if (style == QLatin1String("Sung"))
            return QStringLiteral("? x Own tune in ") + RtfEscape(f_("KeySig")) + CrLf + QStringLiteral("\\par ") + CrLf +
                   QStringLiteral("\\par \\b Break\\b0 :") + CrLf + QStringLiteral("\\par ") + CrLf + QStringLiteral("\\par ") +
                   CrLf + QStringLiteral("\\par \\b Figure\\b0 :") + CrLf + QStringLiteral("\\par ");
        if (style.contains(QLatin1String("Break"))) return RtfEscape(v);
        const bool unphrased = v == QLatin1String("Patter, Unphrased");
        QString rhythm = unphrased ? QStringLiteral("Unphrased reels") : v;
        const QString format = f_("Format");
        const bool noCount = format.startsWith(QLatin1String("Longways"), Qt::CaseInsensitive) ||
                             format.startsWith(QLatin1String("Sicilian"), Qt::CaseInsensitive) ||
                             format.startsWith(QLatin1String("Circle"), Qt::CaseInsensitive);
        const QString prefix = noCount ? QString() : QStringLiteral("¶ x ");
        if (rhythm.isEmpty()) rhythm = QStringLiteral("¶");
        rhythm = rhythm.toLower();
        if (f_("OwnTune") == QLatin1String("Y")) return RtfEscape(prefix + QStringLiteral("Own tune (") + rhythm + QStringLiteral(") "));
        QString plural = rhythm;
        if (!unphrased) {
            // Both halves of "jig/reel" go into the plural: "jigs/reels".
            if (plural == QLatin1String("jig/reel")) plural = QStringLiteral("jigs/reel");
            else if (plural == QLatin1String("waltz")) plural = QStringLiteral("waltze");
            else if (plural == QLatin1String("march")) plural = QStringLiteral("marche");
            if (plural != QLatin1String("3-time") && plural != QLatin1String("medley")) plural += QLatin1Char('s');
        }
        return RtfEscape(prefix + QStringLiteral("¶ bar ") + (style == QLatin1String("American") ? QStringLiteral("Am. ") : QString()) +
                         plural);
    }

    TemplateOutput finish(TemplateOutput &r) {
        QString instructions = hadFooter_ ? instructions_ : r.instructions;
        if (in_.refine && f_("Style").contains(QLatin1String("Break"))) {
            const qsizetype at = instructions.indexOf(QLatin1String("\\b Square\\b0"));
            if (at >= 0) instructions.insert(qMin(at + 13, instructions.size()), QStringLiteral("   \\'a7"));
        }
        if (in_.useFooter && hadFooter_) {
            r.instructions = instructions;
            const QString footer = TrimTemplatePart(out_);
            if (footer.size() > 15) r.footer = footer;
        } else {
            r.instructions = out_;
            r.footer.clear();
        }
        return r;
    }

    const TemplateInput &in_;
    std::function<QString(const char *)> f_;
    QString out_;
    QString instructions_;
    bool hadFooter_ = false;
    bool colourTableAdded_ = false;
    bool creditWritten_ = false;
};

} // namespace

QString TrimTemplatePart(const QString &text) {
    static const QStringList pieces = {QStringLiteral("\\par "), QStringLiteral("\\par"), QStringLiteral("}"),
                                       QStringLiteral("\r"), QStringLiteral("\n")};
    // "\par" alone only where no longer word or escaped brace is cut.
    const auto front = [](const QString &t, const QString &p) {
        return t.startsWith(p) && !(p == QLatin1String("\\par") && t.size() > 4 && t[4].isLetterOrNumber());
    };
    const auto back = [](const QString &t, const QString &p) {
        return t.endsWith(p) && !(p == QLatin1String("}") && t.endsWith(QLatin1String("\\}")));
    };
    QString t = text;
    for (bool changed = true; changed;) {
        changed = false;
        for (const QString &p : pieces)
            if (front(t, p)) {
                t.remove(0, p.size());
                changed = true;
                break;
            }
        for (const QString &p : pieces)
            if (back(t, p)) {
                t.chop(p.size());
                changed = true;
                break;
            }
    }
    return t + QLatin1Char('}');
}

bool ShouldGenerateInstructions(const QString &instructions, const QString &title, const QString &boxFirstLine,
                                const QString &style) {
    if (style == QLatin1String("Technique")) return false;
    const qsizetype cr = instructions.indexOf(QLatin1String("\r\n"));
    const QString rest = cr < 0 ? QString() : instructions.mid(cr + 2);
    qsizetype count = rest.size();
    if (!title.isEmpty() && rest.contains(title)) count -= title.size();
    return count < 40 || boxFirstLine.contains(QLatin1String("Generated Dance"));
}

TemplateUpdate UpdateStandardTemplate(const QString &fileName, const QString &text) {
    TemplateUpdate u;
    u.text = text;
    if (!fileName.startsWith(QLatin1String("Template.RTF"), Qt::CaseInsensitive) || text.contains(QLatin1String("(*Footer*)")))
        return u;
    const qsizetype at = text.indexOf(QLatin1String("(*\\b Author\\b0"));
    if (at < 0) {
        u.missingAuthor = true;
        return u;
    }
    u.text.insert(at, QStringLiteral("(*Footer*)\\par "));
    u.changed = true;
    return u;
}

TemplateOutput FillTemplate(const TemplateInput &in) { return Walk(in).run(); }

QString MissingTemplateEndMessage() { return QStringLiteral("Missing \"*)\" in template."); }

QString UnknownTemplateFieldMessage(const QString &name) { return name + QStringLiteral("\ris in Template but is not a field."); }

TemplateFont ReadTemplateFont(const QString &text) {
    TemplateFont f;
    const RtfFontSpot spot = FindRtfFontSize(text);
    if (spot.name.first >= 0) f.name = text.mid(spot.name.first, spot.name.second - spot.name.first);
    if (spot.size.first >= 0) f.halfPoints = text.mid(spot.size.first, spot.size.second - spot.size.first).toInt();
    return f;
}

QString TemplateFontQuestion(const QString &primaryFont, int primarySize, const TemplateFont &font) {
    return QStringLiteral("Your Primary Font is ") + primaryFont + QLatin1Char(' ') + QString::number(primarySize) +
           QStringLiteral(" point\rbut your template uses ") + font.name + QLatin1Char(' ') + QString::number(font.halfPoints / 2) +
           QStringLiteral(" point.\r\rWhich shall we change?");
}
