#pragma once

// Bank statements in the Cuaderno 43 layout written record by record, field by
// field, for the tests of the reader and of the import window.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora::test::n43 {

// An account of bank 0049, branch 1500, in euros, for January 2024.
struct Header {
    const char* account = "0512345678";
    qint64 initial = 0; // cents, negative when owed
    QString holder = QStringLiteral("ANA GARCIA LOPEZ");
};

struct Movement {
    const char* date = "240115"; // YYMMDD as in the file
    qint64 cents = 0;            // negative: a debit
    QString reference2 = {};
    QString reference1 = {};
    const char* amount = nullptr; // written as it is instead of cents
    const char* key = nullptr;    // written as it is instead of from the sign
};

// What the closing record says when it should not say what the movements add up to.
struct Footer {
    std::optional<int> debitCount = {};
    std::optional<qint64> debits = {};
    std::optional<int> creditCount = {};
    std::optional<qint64> credits = {};
    std::optional<qint64> final = {};
    const char* account = nullptr;
};

// Writes a statement record by record, field by field, keeping the counts and
// sums that the closing records need.
class Statement {
public:
    Statement& open(const Header& h = {}) {
        header_ = h;
        balance_ = h.initial;
        debitCount_ = creditCount_ = 0;
        debits_ = credits_ = 0;
        return record("1100491500" + QByteArray(h.account) + "240101240131" +
                      signedAmount(h.initial) + "9783" + text(h.holder, 26) + "   ");
    }
    Statement& move(const Movement& m) {
        const bool debit = m.cents < 0;
        (debit ? debitCount_ : creditCount_) += 1;
        (debit ? debits_ : credits_) += qAbs(m.cents);
        balance_ += m.cents;
        const QByteArray amount = m.amount ? QByteArray(m.amount) : digits(qAbs(m.cents), 14);
        const char* key = m.key ? m.key : debit ? "1" : "2";
        return record("22    1500" + QByteArray(m.date) + m.date + "02000" + key + amount +
                      "0000000000" + text(m.reference1, 12) + text(m.reference2, 16));
    }
    Statement& complement(const QString& one, const QString& two = {},
                          const QByteArray& code = "01") {
        return record(QByteArray("23") + code + text(one, 38) + text(two, 38));
    }
    Statement& equivalence() {
        return record(QByteArray("24") + "01" + "840" + digits(13512, 14) + QByteArray(59, ' '));
    }
    Statement& close(const Footer& f = {}) {
        const qint64 final = f.final.value_or(balance_);
        return record("3300491500" + QByteArray(f.account ? f.account : header_.account) +
                      digits(f.debitCount.value_or(debitCount_), 5) +
                      digits(f.debits.value_or(debits_), 14) +
                      digits(f.creditCount.value_or(creditCount_), 5) +
                      digits(f.credits.value_or(credits_), 14) + signedAmount(final) + "978    ");
    }
    Statement& end(std::optional<int> count = {}) {
        lines_.append(QByteArray("88") + QByteArray(18, '9') +
                      digits(count.value_or(lines_.size()), 6) + QByteArray(54, ' '));
        return *this;
    }
    Statement& raw(const QByteArray& line) {
        lines_.append(line);
        return *this;
    }
    QByteArray bytes(const char* lineEnd = "\r\n", bool trimmed = false) const {
        QByteArray out;
        for (QByteArray line : lines_) {
            while (trimmed && line.endsWith(' ')) {
                line.chop(1);
            }
            out += line + lineEnd;
        }
        return out;
    }

private:
    static QByteArray digits(qint64 value, int width) {
        return QByteArray::number(value).rightJustified(width, '0');
    }
    static QByteArray text(const QString& value, int width) {
        return value.toLatin1().leftJustified(width, ' ', true);
    }
    static QByteArray signedAmount(qint64 cents) {
        return (cents < 0 ? "1" : "2") + digits(qAbs(cents), 14);
    }
    Statement& record(const QByteArray& line) {
        Q_ASSERT(line.size() == 80);
        lines_.append(line);
        return *this;
    }

    QList<QByteArray> lines_;
    Header header_;
    qint64 balance_ = 0;
    int debitCount_ = 0;
    int creditCount_ = 0;
    qint64 debits_ = 0;
    qint64 credits_ = 0;
};

} // namespace velmora::test::n43
