#include "demo/DemoLedger.h"

#include "entries/MovementRule.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QDate>
#include <QHash>
#include <QStringList>

#include <cstdint>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

constexpr DemoAccount kAccounts[] = {
    // Incomes
    {"Nómina", "Sueldo mensual", "I"},
    {"Paga extra", "Pagas extraordinarias de junio y Navidad", "I"},
    {"Intereses", "Intereses de la cuenta de ahorro", "I"},
    {"Alquiler cobrado", "Alquiler de la plaza de garaje", "I"},
    {"Venta coche", "Venta del coche viejo", "I"},
    {"Regalos", "Regalos y aguinaldos recibidos", "I"},
    {"Devolución IRPF", "Devolución de la declaración de la renta", "I"},
    {"Trabajos extra", "Clases particulares y encargos", "I"},
    // Places where the money is
    {"Banco", "Cuenta corriente", "C"},
    {"Caja", "Dinero en efectivo", "C"},
    {"Tarjeta", "Tarjeta de crédito", "C"},
    {"Cuenta ahorro", "Cuenta de ahorro", "C"},
    // Household expenses
    {"Luz", "Electricidad", "G"},
    {"Agua", "Agua y alcantarillado", "G"},
    {"Gas", "Gas natural", "G"},
    {"Supermercado", "Compra de comida y limpieza", "G"},
    {"Alquiler", "Alquiler del piso", "G"},
    {"Teléfono", "Teléfono móvil", "G"},
    {"Internet", "Fibra óptica", "G"},
    {"Gasolina", "Combustible del coche", "G"},
    {"Restaurantes", "Comidas y cenas fuera de casa", "G"},
    {"Farmacia", "Medicamentos y parafarmacia", "G"},
    {"Ropa", "Ropa y calzado", "G"},
    {"Colegio", "Cuotas, comedor y material escolar", "G"},
    {"Comunidad", "Cuota de la comunidad de vecinos", "G"},
    {"IBI", "Impuesto sobre bienes inmuebles", "G"},
    {"Seguro coche", "Seguro a todo riesgo del coche", "G"},
    {"Seguro hogar", "Seguro multirriesgo del hogar", "G"},
    {"Peluquería", "Peluquería y estética", "G"},
    {"Taller coche", "Revisiones y reparaciones del coche", "G"},
    {"Vacaciones", "Viajes y escapadas", "G"},
    {"Ocio", "Cine, conciertos y suscripciones", "G"},
    {"Libros", "Libros y revistas", "G"},
    {"Gimnasio", "Cuota del gimnasio", "G"},
    {"Médico", "Dentista, oculista y consultas privadas", "G"},
    {"Veterinario", "Veterinario y comida del perro", "G"},
    {"Transporte", "Autobús, metro y taxi", "G"},
    {"Regalos hechos", "Cumpleaños, Reyes y bodas", "G"},
    {"Comisiones banco", "Comisiones y gastos bancarios", "G"},
    {"Hogar", "Menaje, ferretería y electrodomésticos", "G"},
};

// A kind of movement that a household repeats. "%1" in a description stands for
// the month's name. Weights are relative frequencies; amounts are in cents.
struct MovementKind {
    const char* into;
    const char* outOf;
    int weight;
    int minCents;
    int maxCents;
    const char* descriptions; // separated by "|"
};

// Tuned so that a year of 1,200 entries looks like a real family's: two pay
// slips a month, weekly shopping, bills once a month, the odd big expense.
constexpr MovementKind kMovements[] = {
    // Incomes: money from an income account into a cash account
    {"Banco", "Nómina", 12, 195000, 235000, "Nómina de %1"},
    {"Banco", "Paga extra", 1, 180000, 210000, "Paga extra de verano|Paga extra de Navidad"},
    {"Cuenta ahorro", "Intereses", 3, 150, 2500,
     "Intereses cuenta ahorro %1|Liquidación de intereses"},
    {"Banco", "Alquiler cobrado", 3, 6000, 9000,
     "Alquiler plaza de garaje %1|Cobro del alquiler del garaje"},
    {"Banco", "Venta coche", 1, 250000, 600000, "Venta del coche viejo"},
    {"Caja", "Regalos", 2, 2000, 15000,
     "Regalo de cumpleaños de los abuelos|Aguinaldo de Navidad|Regalo del santo"},
    {"Banco", "Devolución IRPF", 1, 15000, 90000, "Devolución de la renta|Devolución de Hacienda"},
    {"Banco", "Trabajos extra", 4, 6000, 40000,
     "Clases particulares %1|Traducción por encargo|Trabajo de fin de semana"},
    // Transfers between places where the money is
    {"Cuenta ahorro", "Banco", 6, 10000, 40000, "Traspaso a ahorro|Traspaso a ahorro %1"},
    {"Caja", "Banco", 30, 4000, 25000,
     "Reintegro en cajero|Sacar dinero del cajero|Efectivo para la semana"},
    {"Tarjeta", "Banco", 6, 250000, 350000,
     "Cargo de la tarjeta de %1|Liquidación tarjeta de crédito"},
    // Expenses: money from a cash account into an expense account
    {"Luz", "Banco", 6, 3500, 14000,
     "Recibo de la luz %1|Factura de la luz de %1|Luz: recibo de Iberdrola"},
    {"Agua", "Banco", 4, 2000, 6000, "Recibo del agua %1|Factura del agua"},
    {"Gas", "Banco", 6, 2500, 11000, "Recibo del gas %1|Factura de gas natural|Bombona de butano"},
    {"Supermercado", "Tarjeta", 80, 1500, 12000,
     "Compra semanal Mercadona|Compra en Carrefour|Compra en Lidl|Compra en Eroski"},
    {"Supermercado", "Caja", 80, 300, 4000,
     "Fruta y verdura en el mercado|Pan y bollería|Carnicería del barrio|Pescadería"},
    {"Alquiler", "Banco", 6, 75000, 75000, "Alquiler del piso %1"},
    {"Teléfono", "Banco", 6, 1500, 4500, "Factura del móvil %1|Recibo de teléfono %1"},
    {"Internet", "Banco", 6, 3000, 5000, "Fibra e internet %1"},
    {"Gasolina", "Tarjeta", 50, 3000, 8500,
     "Gasolina Repsol|Gasóleo en Cepsa|Repostaje en la autovía"},
    {"Restaurantes", "Tarjeta", 30, 1200, 9500,
     "Cena en restaurante|Menú del día|Cañas y tapas con amigos|Comida familiar"},
    {"Restaurantes", "Caja", 40, 250, 2500,
     "Café y tostada|Cañas en el bar|Bocadillo|Helados con los niños"},
    {"Farmacia", "Caja", 25, 400, 4500,
     "Farmacia: medicamentos|Farmacia: parafarmacia|Vitaminas y jarabe"},
    {"Ropa", "Tarjeta", 20, 2000, 16000,
     "Ropa en Zara|Zapatos de los niños|Rebajas de %1|Abrigo de invierno"},
    {"Colegio", "Banco", 12, 4000, 25000,
     "Cuota del colegio %1|Comedor escolar %1|Material escolar|Excursión del colegio"},
    {"Comunidad", "Banco", 6, 5500, 6500, "Cuota de comunidad %1"},
    {"IBI", "Banco", 2, 18000, 45000, "Recibo del IBI|IBI segundo plazo"},
    {"Seguro coche", "Banco", 2, 18000, 42000,
     "Seguro del coche|Seguro del coche: recibo semestral"},
    {"Seguro hogar", "Banco", 1, 15000, 30000, "Seguro del hogar"},
    {"Peluquería", "Caja", 15, 1200, 5500,
     "Corte de pelo|Peluquería y tinte|Peluquería de los niños"},
    {"Taller coche", "Tarjeta", 3, 3500, 48000,
     "Revisión del coche|Cambio de neumáticos|ITV|Cambio de aceite"},
    {"Vacaciones", "Tarjeta", 4, 9000, 90000,
     "Hotel en la playa|Billetes de avión|Casa rural fin de semana"},
    {"Ocio", "Tarjeta", 20, 800, 6000,
     "Entradas de cine|Concierto|Plataforma de series %1|Entradas del parque"},
    {"Libros", "Tarjeta", 8, 1000, 4500, "Libros y revistas|Novela|Cómics"},
    {"Gimnasio", "Banco", 6, 3000, 4500, "Cuota del gimnasio %1"},
    {"Médico", "Tarjeta", 4, 4000, 18000, "Dentista|Oculista|Fisioterapeuta|Análisis clínicos"},
    {"Veterinario", "Tarjeta", 4, 2500, 12000, "Vacuna del perro|Pienso y veterinario"},
    {"Transporte", "Caja", 30, 150, 5500, "Abono transporte %1|Billete de autobús|Taxi|Metro"},
    {"Regalos hechos", "Tarjeta", 5, 1500, 12000,
     "Regalo de cumpleaños|Regalos de Reyes|Regalo de boda"},
    {"Comisiones banco", "Banco", 6, 200, 1200,
     "Comisión de mantenimiento %1|Comisión por transferencia"},
    {"Hogar", "Tarjeta", 10, 800, 35000,
     "Ferretería|Electrodoméstico nuevo|Menaje de cocina|Bombillas y pilas"},
};

constexpr const char* kMonths[] = {"enero",      "febrero", "marzo",     "abril",
                                   "mayo",       "junio",   "julio",     "agosto",
                                   "septiembre", "octubre", "noviembre", "diciembre"};

// Uniform in [0, n) from the generator's 32-bit output. std::uniform_int_distribution
// would differ between standard libraries, and the same seed must give the same
// ledger everywhere.
uint32_t below(std::mt19937& random, uint32_t n) {
    return static_cast<uint32_t>((static_cast<uint64_t>(random()) * n) >> 32);
}

struct Account {
    QString name; // as stored, which may differ in letter case from ours
    QString kind;
};

// The accounts as they end up in the ledger, by folded name.
QHash<QString, Account> ensureAccounts(Database& db) {
    QHash<QString, Account> accounts;
    {
        Statement existing(db, "SELECT conNom, conTipo FROM Contas", "leer las cuentas");
        while (existing.step()) {
            const QString name = existing.columnText(0);
            accounts.insert(foldCase(name), Account{name, existing.columnText(1)});
        }
    }
    Statement insert(db, "INSERT INTO Contas (conNom, conCon, conTipo) VALUES (?1, ?2, ?3)",
                     "añadir una cuenta de ejemplo");
    for (const DemoAccount& a : kAccounts) {
        const QString name = QString::fromUtf8(a.name);
        const QString key = foldCase(name);
        if (accounts.contains(key)) {
            continue;
        }
        const QString kind = QString::fromLatin1(a.kind);
        insert.bind(1, name).bind(2, QString::fromUtf8(a.conceptText)).bind(3, kind);
        insert.run();
        insert.reset();
        accounts.insert(key, Account{name, kind});
    }
    return accounts;
}

// A movement kind ready to write: stored account names and the class the rule gives.
struct ResolvedMovement {
    const MovementKind* kind;
    QString into;
    QString outOf;
    QString movementClass;
    QStringList descriptions;
};

int64_t largestEntryId(Database& db) {
    Statement query(db, "SELECT COALESCE(MAX(Id), 0) FROM apuntes", "buscar el último apunte");
    query.step();
    return query.columnInt(0);
}

} // namespace

const DemoAccount* demoAccounts(int* count) {
    if (count != nullptr) {
        *count = static_cast<int>(std::size(kAccounts));
    }
    return kAccounts;
}

void fillDemoLedger(Database& db, int year, int entries, unsigned seed) {
    const QDate firstDay(year, 1, 1);
    if (!firstDay.isValid()) {
        throw std::invalid_argument("fillDemoLedger: year out of range");
    }
    Transaction transaction(db);
    const QHash<QString, Account> accounts = ensureAccounts(db);

    // An account the user already had under one of our names may be of another
    // kind; movements the rule refuses for it are simply not generated.
    std::vector<ResolvedMovement> movements;
    uint32_t totalWeight = 0;
    for (const MovementKind& m : kMovements) {
        const Account& into = accounts[foldCase(QString::fromUtf8(m.into))];
        const Account& outOf = accounts[foldCase(QString::fromUtf8(m.outOf))];
        const std::optional<QString> movementClass = classifyMovement(into.kind, outOf.kind);
        if (!movementClass) {
            continue;
        }
        movements.push_back({&m, into.name, outOf.name, *movementClass,
                             QString::fromUtf8(m.descriptions).split(QLatin1Char('|'))});
        totalWeight += static_cast<uint32_t>(m.weight);
    }
    if (entries > 0 && movements.empty()) {
        throw DbError(QStringLiteral("añadir los apuntes de ejemplo"),
                      QStringLiteral("las cuentas existentes no admiten ningún movimiento"), 0);
    }

    Statement insert(db,
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "añadir un apunte de ejemplo");
    std::mt19937 random(seed);
    const int64_t firstId = largestEntryId(db) + 1;
    const int64_t days = firstDay.daysInYear();
    for (int i = 0; i < entries; ++i) {
        // Entry i falls in the i-th slice of the year, so numbers rise with the
        // dates as they do when someone types receipts in order.
        const int64_t slot = static_cast<int64_t>(i) * days + below(random, days);
        const QDate date = firstDay.addDays(slot / entries);

        uint32_t pick = below(random, totalWeight);
        const ResolvedMovement* chosen = &movements.front();
        for (const ResolvedMovement& m : movements) {
            const auto weight = static_cast<uint32_t>(m.kind->weight);
            if (pick < weight) {
                chosen = &m;
                break;
            }
            pick -= weight;
        }

        QString description =
            chosen->descriptions[below(random, static_cast<uint32_t>(chosen->descriptions.size()))];
        if (description.contains(QLatin1String("%1"))) {
            description = description.arg(QString::fromLatin1(kMonths[date.month() - 1]));
        }
        const auto span =
            static_cast<uint32_t>(chosen->kind->maxCents - chosen->kind->minCents + 1);
        const int cents = chosen->kind->minCents + static_cast<int>(below(random, span));

        insert.bind(1, firstId + i)
            .bind(2, toStoredDate(date))
            .bind(3, description)
            .bind(4, chosen->into)
            .bind(5, chosen->outOf)
            .bind(6, cents / 100.0)
            .bind(7, chosen->movementClass);
        insert.run();
        insert.reset();
    }
    transaction.commit();
}

} // namespace velmora
