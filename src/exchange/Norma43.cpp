#include "exchange/Norma43.h"

#include "exchange/BlockReader.h"
#include "store/Amount.h"

#include <QBuffer>
#include <QIODevice>

#include <optional>

namespace velmora {

namespace {

constexpr int kRecordLength = 80;
// Positions 1 to 51 of an account header are all digits.
constexpr int kHeaderDigits = 51;
// Of a longer line only its length matters: it is no record.
constexpr qsizetype kLineKept = 4096;

// Besides spaces, a DOS end-of-file mark: a line of nothing else is no record.
bool isBlank(const QByteArray& line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\x1a') {
            return false;
        }
    }
    return true;
}

bool allDigits(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !bytes.isEmpty();
}

QString spaced(const QString& bank, const QString& branch, const QString& account) {
    return bank + u' ' + branch + u' ' + account;
}

// What a person reads of a movement; see N43Movement::description.
QString describe(const QStringList& complementary, const QString& reference2,
                 const QString& reference1) {
    QString text;
    const auto add = [&text](const QString& part) {
        const bool placeholder = part.count(u'0') == part.size();
        if (part.isEmpty() || placeholder || text.contains(part)) {
            return;
        }
        if (!text.isEmpty()) {
            text += u' ';
        }
        text += part;
    };
    for (const QString& part : complementary) {
        add(part);
    }
    add(reference2);
    add(reference1);
    return text;
}

class Reader {
public:
    N43Statement read(QIODevice& in);

private:
    struct Open {
        N43Account account;
        int debitCount = 0;
        int creditCount = 0;
        qint64 debits = 0;
        qint64 credits = 0;
    };
    // What the last record was, which decides where a 23 or a 24 may go.
    enum class After { Other, Movement, Equivalence };
    // The movement last read, which its 23 records still add to.
    struct Pending {
        N43Movement movement;
        QStringList complementary; // trimmed, no empty ones
        QString reference1;
        QString reference2;
    };

    [[noreturn]] void fail(const QString& reason) const { throw Norma43Error(line_, reason); }
    // Positions counted from 1, both ends included.
    QByteArray field(int from, int to) const { return record_.mid(from - 1, to - from + 1); }
    QString text(int from, int to) const { return QString::fromLatin1(field(from, to)).trimmed(); }
    QString digits(int from, int to, const QString& what) const;
    qint64 number(int from, int to, const QString& what) const;
    QDate date(int from, int to, const QString& what) const;
    // True for 1: a debit, or a balance owed.
    bool debitKey(int position, const QString& what, const QString& one, const QString& two) const;
    QString openAccount() const;

    void header();
    // The pending movement, whole now, into its account.
    void keepMovement();
    void movement();
    void complementary();
    void equivalence();
    void footer();
    void end();

    QByteArray record_;
    int line_ = 0;
    N43Statement statement_;
    std::optional<Open> open_;
    std::optional<Pending> pending_;
    After after_ = After::Other;
    int complementaries_ = 0; // after the last movement
    int records_ = 0;
    bool ended_ = false;
};

QString Reader::digits(int from, int to, const QString& what) const {
    const QByteArray bytes = field(from, to);
    if (!allDigits(bytes)) {
        fail(QStringLiteral("%1 «%2» no es un número").arg(what, QString::fromLatin1(bytes)));
    }
    return QString::fromLatin1(bytes);
}

qint64 Reader::number(int from, int to, const QString& what) const {
    return digits(from, to, what).toLongLong();
}

QDate Reader::date(int from, int to, const QString& what) const {
    const QByteArray bytes = field(from, to);
    if (!allDigits(bytes)) {
        fail(
            QStringLiteral("%1 «%2» no es una fecha AAMMDD").arg(what, QString::fromLatin1(bytes)));
    }
    const int yy = bytes.left(2).toInt();
    const QDate day(yy < 80 ? 2000 + yy : 1900 + yy, bytes.mid(2, 2).toInt(),
                    bytes.mid(4, 2).toInt());
    if (!day.isValid()) {
        fail(QStringLiteral("%1 %2 no existe").arg(what, QString::fromLatin1(bytes)));
    }
    return day;
}

bool Reader::debitKey(int position, const QString& what, const QString& one,
                      const QString& two) const {
    const char key = record_.at(position - 1);
    if (key != '1' && key != '2') {
        fail(QStringLiteral("%1 es «%2» y debe ser 1 (%3) o 2 (%4)")
                 .arg(what, QString(QLatin1Char(key)), one, two));
    }
    return key == '1';
}

QString Reader::openAccount() const {
    const N43Account& account = open_->account;
    return spaced(account.bank, account.branch, account.account);
}

void Reader::header() {
    if (open_) {
        fail(QStringLiteral("empieza otra cuenta (registro 11) sin que la cuenta %1 se haya "
                            "cerrado con su registro 33")
                 .arg(openAccount()));
    }
    if (statement_.accounts.size() >= kMostStatementAccounts) {
        fail(QStringLiteral("un extracto no puede tener más de %1 cuentas")
                 .arg(formatCount(kMostStatementAccounts)));
    }
    Open open;
    N43Account& account = open.account;
    account.bank = digits(3, 6, QStringLiteral("la entidad"));
    account.branch = digits(7, 10, QStringLiteral("la oficina"));
    account.account = digits(11, 20, QStringLiteral("el número de cuenta"));
    account.from = date(21, 26, QStringLiteral("la fecha inicial"));
    account.to = date(27, 32, QStringLiteral("la fecha final"));
    const bool owed = debitKey(33, QStringLiteral("la clave del saldo inicial"),
                               QStringLiteral("deudor"), QStringLiteral("acreedor"));
    const qint64 initial = number(34, 47, QStringLiteral("el saldo inicial"));
    account.initialCents = owed ? -initial : initial;
    account.currency = digits(48, 50, QStringLiteral("la divisa"));
    // Unused here, but a digit in every statement: without this check a file read
    // whole would not pass looksLikeNorma43 and an import would take it for CSV.
    digits(51, 51, QStringLiteral("la modalidad de información"));
    account.holder = text(52, 77);
    open_ = std::move(open);
    after_ = After::Other;
}

void Reader::keepMovement() {
    if (!pending_) {
        return;
    }
    pending_->movement.description =
        describe(pending_->complementary, pending_->reference2, pending_->reference1);
    open_->account.movements.append(pending_->movement);
    pending_.reset();
}

void Reader::movement() {
    if (!open_) {
        fail(QStringLiteral("el movimiento (registro 22) no pertenece a ninguna cuenta: falta "
                            "antes el registro 11 de cabecera"));
    }
    keepMovement();
    Pending pending;
    N43Movement& movement = pending.movement;
    movement.line = line_;
    movement.operationDate = date(11, 16, QStringLiteral("la fecha de operación"));
    movement.valueDate = date(17, 22, QStringLiteral("la fecha valor"));
    // The concept every bank shares (23-24) is unused, but digits in every statement.
    digits(23, 24, QStringLiteral("el concepto común"));
    movement.debit = debitKey(28, QStringLiteral("la clave de cargo o abono"),
                              QStringLiteral("cargo"), QStringLiteral("abono"));
    movement.cents = number(29, 42, QStringLiteral("el importe"));
    pending.reference1 = text(53, 64);
    pending.reference2 = text(65, 80);

    // Each addend fits in 14 digits, so a sum that has just passed them has not
    // overflowed; past them it can no longer match the closing record anyway.
    Open& open = *open_;
    qint64& sum = movement.debit ? open.debits : open.credits;
    sum += movement.cents;
    if (sum > kMaxAmountCents) {
        fail(QStringLiteral("los %1 de la cuenta suman más de %2")
                 .arg(movement.debit ? QStringLiteral("cargos") : QStringLiteral("abonos"),
                      formatCents(kMaxAmountCents)));
    }
    ++(movement.debit ? open.debitCount : open.creditCount);
    pending_ = std::move(pending);
    after_ = After::Movement;
    complementaries_ = 0;
}

void Reader::complementary() {
    if (after_ != After::Movement) {
        fail(QStringLiteral("el concepto complementario (registro 23) debe seguir a su "
                            "movimiento (registro 22)"));
    }
    if (++complementaries_ > 5) {
        fail(QStringLiteral("un movimiento no puede llevar más de cinco conceptos "
                            "complementarios (registro 23)"));
    }
    const QString code = digits(3, 4, QStringLiteral("el código de dato"));
    if (code < QLatin1String("01") || code > QLatin1String("05")) {
        fail(QStringLiteral("el código de dato del concepto complementario es %1 y debe ir de 01 "
                            "a 05")
                 .arg(code));
    }
    for (const QString& part : {text(5, 42), text(43, 80)}) {
        if (!part.isEmpty()) {
            pending_->complementary.append(part);
        }
    }
}

void Reader::equivalence() {
    if (after_ != After::Movement) {
        fail(QStringLiteral("la equivalencia de divisa (registro 24) debe seguir a su "
                            "movimiento (registro 22)"));
    }
    after_ = After::Equivalence;
}

void Reader::footer() {
    if (!open_) {
        fail(QStringLiteral("el fin de cuenta (registro 33) no cierra ninguna cuenta: falta antes "
                            "el registro 11 de cabecera"));
    }
    keepMovement();
    Open& open = *open_;
    N43Account& account = open.account;
    const QString closed = spaced(text(3, 6), text(7, 10), text(11, 20));
    if (closed != openAccount()) {
        fail(QStringLiteral("el registro 33 cierra la cuenta %1, pero la abierta es la %2")
                 .arg(closed, openAccount()));
    }
    const qint64 debitCount = number(21, 25, QStringLiteral("el número de cargos"));
    const qint64 debits = number(26, 39, QStringLiteral("el total de cargos"));
    const qint64 creditCount = number(40, 44, QStringLiteral("el número de abonos"));
    const qint64 credits = number(45, 58, QStringLiteral("el total de abonos"));
    const bool owed = debitKey(59, QStringLiteral("la clave del saldo final"),
                               QStringLiteral("deudor"), QStringLiteral("acreedor"));
    const qint64 final = number(60, 73, QStringLiteral("el saldo final"));
    const QString currency = digits(74, 76, QStringLiteral("la divisa"));
    if (currency != account.currency) {
        fail(QStringLiteral("la divisa del registro 33 es %1 y la de la cabecera de la cuenta %2")
                 .arg(currency, account.currency));
    }
    const auto checkCount = [&](qint64 stated, int counted, const QString& what) {
        if (stated != counted) {
            fail(QStringLiteral("el número de %1 del registro 33 es %2 y en los movimientos hay %3")
                     .arg(what)
                     .arg(stated)
                     .arg(counted));
        }
    };
    const auto checkTotal = [&](qint64 stated, qint64 summed, const QString& what) {
        if (stated != summed) {
            fail(QStringLiteral("el total de %1 del registro 33 es %2 y los movimientos suman %3")
                     .arg(what, formatCents(stated), formatCents(summed)));
        }
    };
    checkCount(debitCount, open.debitCount, QStringLiteral("cargos"));
    checkTotal(debits, open.debits, QStringLiteral("cargos"));
    checkCount(creditCount, open.creditCount, QStringLiteral("abonos"));
    checkTotal(credits, open.credits, QStringLiteral("abonos"));
    account.finalCents = owed ? -final : final;
    const qint64 expected = account.initialCents + open.credits - open.debits;
    if (account.finalCents != expected) {
        fail(QStringLiteral("el saldo final del registro 33 es %1 y el saldo inicial más los "
                            "abonos menos los cargos da %2")
                 .arg(formatCents(account.finalCents), formatCents(expected)));
    }
    statement_.accounts.append(std::move(account));
    open_.reset();
    after_ = After::Other;
}

void Reader::end() {
    if (open_) {
        fail(QStringLiteral("el fin de archivo (registro 88) llega sin que la cuenta %1 se haya "
                            "cerrado con su registro 33")
                 .arg(openAccount()));
    }
    if (field(3, 20) != QByteArray(18, '9')) {
        fail(QStringLiteral("el registro 88 de fin de archivo debe llevar dieciocho nueves tras "
                            "el tipo"));
    }
    const qint64 stated = number(21, 26, QStringLiteral("el número de registros"));
    if (stated != records_) {
        fail(QStringLiteral("el registro 88 cuenta %1 registros y antes de él hay %2")
                 .arg(stated)
                 .arg(records_));
    }
    ended_ = true;
}

N43Statement Reader::read(QIODevice& in) {
    BlockReader lines(in);
    QByteArray raw;
    qint64 length = 0;
    while (lines.nextLine(raw, length, kLineKept)) {
        ++line_;
        if (length <= kLineKept && isBlank(raw)) {
            continue;
        }
        if (ended_) {
            fail(QStringLiteral("hay más texto después del registro 88 de fin de archivo"));
        }
        if (length > kRecordLength) {
            fail(QStringLiteral("el registro tiene %1 caracteres y no puede pasar de %2")
                     .arg(formatCount(length))
                     .arg(kRecordLength));
        }
        // Banks often leave off the trailing spaces.
        record_ = raw.leftJustified(kRecordLength, ' ');
        const QByteArray type = record_.left(2);
        if (type == "11") {
            header();
        } else if (type == "22") {
            movement();
        } else if (type == "23") {
            complementary();
        } else if (type == "24") {
            equivalence();
        } else if (type == "33") {
            footer();
        } else if (type == "88") {
            end();
            continue;
        } else {
            fail(QStringLiteral("«%1» no es un tipo de registro conocido (11, 22, 23, 24, 33 u 88)")
                     .arg(QString::fromLatin1(type).trimmed()));
        }
        ++records_;
    }
    if (lines.failed()) {
        line_ = 0;
        fail(QStringLiteral("el archivo no se ha podido leer entero"));
    }
    line_ = 0;
    if (open_) {
        fail(QStringLiteral("el archivo está incompleto: falta el registro 33 que cierra la "
                            "cuenta %1")
                 .arg(openAccount()));
    }
    if (!ended_) {
        fail(records_ == 0 ? QStringLiteral("el archivo está vacío")
                           : QStringLiteral("el archivo está incompleto: falta el registro 88 de "
                                            "fin de archivo"));
    }
    return std::move(statement_);
}

} // namespace

void N43Movements::append(const N43Movement& movement) {
    stored_.push_back({movement.cents, movement.line, qint32(movement.operationDate.toJulianDay()),
                       qint32(movement.valueDate.toJulianDay()), movement.debit});
    descriptions_.append(movement.description);
}

N43Movement N43Movements::at(qsizetype index) const {
    const Stored& stored = stored_[size_t(index)];
    return {stored.line,
            QDate::fromJulianDay(stored.operationDay),
            QDate::fromJulianDay(stored.valueDay),
            stored.debit,
            stored.cents,
            descriptions_.at(index)};
}

namespace {

QString lineAndReason(int line, const QString& reason) {
    return line > 0 ? QStringLiteral("línea %1: %2").arg(line).arg(reason) : reason;
}

} // namespace

Norma43Error::Norma43Error(int line, QString reason)
    : std::runtime_error(lineAndReason(line, reason).toStdString()), line_(line),
      reason_(std::move(reason)) {}

QString Norma43Error::message() const {
    return lineAndReason(line_, reason_);
}

N43Statement readNorma43(QIODevice& in) {
    return Reader().read(in);
}

bool isNorma43(QIODevice& in) {
    const qint64 start = in.pos();
    BlockReader lines(in);
    QByteArray line;
    qint64 length = 0;
    bool statement = false;
    while (lines.nextLine(line, length, kLineKept)) {
        if (length <= kLineKept && isBlank(line)) {
            continue;
        }
        const char key = line.size() > 32 ? line.at(32) : '\0';
        statement = line.startsWith("11") && line.size() >= kHeaderDigits &&
                    length <= kRecordLength && allDigits(line.left(kHeaderDigits)) &&
                    (key == '1' || key == '2');
        break;
    }
    in.seek(start);
    return statement;
}

bool looksLikeNorma43(const QByteArray& start) {
    QBuffer buffer;
    buffer.setData(start);
    buffer.open(QIODevice::ReadOnly);
    return isNorma43(buffer);
}

} // namespace velmora
