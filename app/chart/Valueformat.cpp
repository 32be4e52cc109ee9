#include "Valueformat.h"

#include "Numbertext.h"

#include <QList>

#include <clocale>
#include <cmath>

namespace {

// The group separator of the current LC_NUMERIC locale; locales without one
// (the C locale) get a comma, or a point where the comma is the decimal
// separator.
QChar ThousandSeparator()
{
    const char *separator = std::localeconv()->thousands_sep;
    if (separator != nullptr && separator[0] != '\0' && separator[1] == '\0')
        return QChar::fromLatin1(separator[0]);
    return DecimalSeparator() == ',' ? QChar('.') : QChar(',');
}

struct Token {
    enum Kind { IntegerDigit, FractionDigit, Point, Exponent, Literal } Type;
    QString Text; // the literal, or "E"/"e" of the exponent
};

// One section of a format, taken apart.
struct Picture {
    QList<Token> Tokens;
    int IntegerPlaceholders = 0;
    int IntegerZeros = 0;
    int FractionPlaceholders = 0;
    int FractionZeros = 0; // the fraction digits always written
    bool Grouping = false;
    bool Scientific = false;
    bool ExponentPlus = false;
    int ExponentDigits = 0;
    bool HasPoint = false;
};

QStringList SplitSections(const QString &format)
{
    QStringList sections{QString()};
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.append(QString());
            continue;
        }
        sections.last().append(c);
    }
    return sections;
}

Picture Parse(const QString &section)
{
    Picture picture;
    const auto literal = [&picture](const QString &text) {
        picture.Tokens.append(Token{Token::Literal, text});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            literal(section.mid(i + 1, stop - i - 1));
            i = stop;
        } else if ((c == '0' || c == '#') && !picture.Scientific) {
            if (!picture.HasPoint) {
                ++picture.IntegerPlaceholders;
                if (c == '0')
                    ++picture.IntegerZeros;
                picture.Tokens.append(Token{Token::IntegerDigit, {}});
            } else {
                ++picture.FractionPlaceholders;
                if (c == '0')
                    picture.FractionZeros = picture.FractionPlaceholders;
                picture.Tokens.append(Token{Token::FractionDigit, {}});
            }
        } else if (c == '.' && !picture.Scientific) {
            if (!picture.HasPoint) {
                picture.HasPoint = true;
                picture.Tokens.append(Token{Token::Point, {}});
            }
        } else if (c == ',' && !picture.Scientific) {
            if (!picture.HasPoint)
                picture.Grouping = true;
        } else if ((c == 'E' || c == 'e') && !picture.Scientific && i + 1 < section.size() &&
                   (section[i + 1] == '+' || section[i + 1] == '-')) {
            picture.Scientific = true;
            picture.ExponentPlus = section[i + 1] == '+';
            i += 2;
            while (i < section.size() && section[i] == '0') {
                ++picture.ExponentDigits;
                ++i;
            }
            --i;
            picture.Tokens.append(Token{Token::Exponent, QString(c)});
        } else {
            literal(QString(c));
        }
    }
    return picture;
}

// Writes the magnitude of value after picture; sets allZero when every digit
// written is a zero.
QString Render(const Picture &picture, double magnitude, bool &allZero)
{
    QString integerDigits;
    QString fractionDigits;
    int exponent = 0;
    if (picture.Scientific) {
        const int integerCount = std::max(1, picture.IntegerPlaceholders);
        if (magnitude == 0.0) {
            integerDigits = QString(integerCount, '0');
            fractionDigits = QString(picture.FractionPlaceholders, '0');
        } else {
            const QString text =
                QString::number(magnitude, 'e', integerCount - 1 + picture.FractionPlaceholders);
            const qsizetype e = text.indexOf('e');
            const QString mantissa = text.left(e).remove('.');
            exponent = text.mid(e + 1).toInt() - (integerCount - 1);
            integerDigits = mantissa.left(integerCount);
            fractionDigits = mantissa.mid(integerCount);
        }
    } else {
        const QString text = QString::number(magnitude, 'f', picture.FractionPlaceholders);
        const qsizetype point = text.indexOf('.');
        integerDigits = point < 0 ? text : text.left(point);
        fractionDigits = point < 0 ? QString() : text.mid(point + 1);
        if (integerDigits == "0")
            integerDigits.clear();
    }
    while (integerDigits.size() < picture.IntegerZeros)
        integerDigits.prepend('0');
    qsizetype shownFraction = fractionDigits.size();
    while (shownFraction > picture.FractionZeros && fractionDigits[shownFraction - 1] == '0')
        --shownFraction;
    allZero = true;
    for (QChar digit : integerDigits + fractionDigits.left(shownFraction))
        allZero = allZero && digit == '0';

    const QChar thousands = ThousandSeparator();
    QString out;
    const auto emitIntegerDigits = [&](qsizetype from, qsizetype to) {
        for (qsizetype m = std::max<qsizetype>(from, 0); m <= to; ++m) {
            out.append(integerDigits[m]);
            const qsizetype fromRight = integerDigits.size() - 1 - m;
            if (picture.Grouping && fromRight > 0 && fromRight % 3 == 0)
                out.append(thousands);
        }
    };
    int integerIndex = 0;
    int fractionIndex = 0;
    for (const Token &token : picture.Tokens) {
        switch (token.Type) {
        case Token::IntegerDigit: {
            const qsizetype digit = integerDigits.size() - picture.IntegerPlaceholders + integerIndex;
            // The first placeholder also writes the digits no placeholder has.
            emitIntegerDigits(integerIndex == 0 ? 0 : digit, digit);
            ++integerIndex;
            break;
        }
        case Token::Point:
            if (picture.IntegerPlaceholders == 0)
                emitIntegerDigits(0, integerDigits.size() - 1);
            if (shownFraction > 0)
                out.append(QChar::fromLatin1(DecimalSeparator()));
            break;
        case Token::FractionDigit:
            if (fractionIndex < shownFraction)
                out.append(fractionDigits[fractionIndex]);
            ++fractionIndex;
            break;
        case Token::Exponent: {
            out.append(token.Text);
            if (exponent < 0)
                out.append('-');
            else if (picture.ExponentPlus)
                out.append('+');
            out.append(QString::number(std::abs(exponent)).rightJustified(picture.ExponentDigits, '0'));
            break;
        }
        case Token::Literal:
            out.append(token.Text);
            break;
        }
    }
    return out;
}

} // namespace

QString FormatFloat(const QString &format, double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (format.isEmpty())
        return QString::fromStdString(FormatNumber(value));
    const QStringList sections = SplitSections(format);
    QString section = sections[0];
    bool writeMinus = value < 0.0;
    if (value < 0.0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        writeMinus = false;
    } else if (value == 0.0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    bool allZero = true;
    const QString text = Render(Parse(section), std::abs(value), allZero);
    return writeMinus && !allZero ? QLatin1Char('-') + text : text;
}
