#pragma once
// Instructions from the template: the decision whether a dance gets them, the
// walk that fills the template's placeholders "(*" name "*)" from the dance
// record with the caller's wording, and the template's font. Pure text work
// over a field map; the main window's handlers read and write the dance.

#include <QMap>
#include <QString>
#include <QStringList>

// Removes "\par", "\par ", "}", CR and LF from both ends until none is left,
// then appends "}".
QString TrimTemplatePart(const QString &text);

// Whether the dance's stored instructions are to be made from the template:
// fewer than 40 characters after their first line (less the title when it
// occurs there), or the box's first line says "Generated Dance"; never for a
// Style of "Technique".
bool ShouldGenerateInstructions(const QString &instructions, const QString &title, const QString &boxFirstLine,
                                const QString &style);

// A standard template ("Template.RTF...") without "(*Footer*)" gets one before
// its author placeholder. missingAuthor: it has none (the command ends).
struct TemplateUpdate {
    bool changed = false;
    bool missingAuthor = false;
    QString text;
};
TemplateUpdate UpdateStandardTemplate(const QString &fileName, const QString &text);

struct TemplateInput {
    QString templateText;
    // The dance's columns and their stored values (names matched ignoring case).
    QMap<QString, QString> fields;
    QString displayTitle; // the title as shown
    bool useFooter = false;
    bool refine = false;
    bool halfLines = false;
};

struct TemplateOutput {
    enum Outcome { Done, MissingEnd, UnknownField } outcome = Done;
    QString unknownName; // for UnknownField
    // The new Instructions and Footer (unchanged when the walk is abandoned).
    QString instructions;
    QString footer;
};

// Fills the template; on an abandoned walk both fields keep the values of
// fields["Instructions"] and fields["Footer"].
TemplateOutput FillTemplate(const TemplateInput &in);

// The messages of an abandoned walk.
QString MissingTemplateEndMessage();
QString UnknownTemplateFieldMessage(const QString &name);

// The template's font: the text after the first "fcharset0 " up to ";", and
// the half-points after the first "\fs" (after the second when "Title" stands
// before it); 0 when none.
struct TemplateFont {
    QString name;
    int halfPoints = 0;
};
TemplateFont ReadTemplateFont(const QString &text);
QString TemplateFontQuestion(const QString &primaryFont, int primarySize, const TemplateFont &font);
