#include "analysis/UnreadableAmounts.h"

#include "store/Amount.h"
#include "store/Formats.h"
#include "store/Sqlite.h"

#include <QStringList>

#include <string>

namespace velmora {

namespace {
constexpr int kNamed = 5;
}

std::vector<qint64> unreadableEntries(Database& db, const char* condition,
                                      const std::function<void(Statement&)>& bind) {
    const std::string sql = std::string("SELECT Id FROM apuntes WHERE (") + condition +
                            ") AND amountcents(Importe) IS NULL ORDER BY Id LIMIT " +
                            std::to_string(kNamed + 1);
    Statement query(db, sql, "buscar los importes que no se pueden leer");
    bind(query);
    std::vector<qint64> ids;
    while (query.step()) {
        ids.push_back(query.columnInt(0));
    }
    return ids;
}

QString unreadableFiguresNotice(const std::vector<qint64>& ids) {
    if (ids.empty()) {
        return QStringLiteral("Las sumas son demasiado grandes para mostrarlas; se muestran "
                              "como %1.")
            .arg(kUnreadableAmount);
    }
    if (ids.size() == 1) {
        return QStringLiteral("El importe del apunte de código %1 no es un número válido. Las "
                              "cifras que lo incluyen se muestran como %2; corrija el apunte en "
                              "la lista de apuntes.")
            .arg(ids.front())
            .arg(kUnreadableAmount);
    }
    return QStringLiteral("Los importes de los apuntes de código %1 no son números válidos. Las "
                          "cifras que los incluyen se muestran como %2; corrija esos apuntes en "
                          "la lista de apuntes.")
        .arg(namedEntries(ids), kUnreadableAmount);
}

} // namespace velmora
