#include "analysis/RegisterReport.h"

#include "store/Amount.h"

namespace velmora {

ReportRequest registerReport(const QString& account, qint64 openingCents, const QString& company) {
    ReportRequest request;
    request.tipo = QStringLiteral("Extracto");
    // The rows accountRegister() reads; the report file sums them in this order.
    request.filtro = QStringLiteral("sametext(EntraEn, :pCuenta) OR sametext(SaleDe, :pCuenta)");
    request.empresa = company;
    request.titulo = QStringLiteral("Extracto de ") + account;
    request.info = QStringLiteral("Saldo inicial: ") + formatCents(openingCents);
    request.valores.insert(QStringLiteral("pCuenta"), account);
    request.valores.insert(QStringLiteral("pSaldoInicial"), QString::number(openingCents));
    return request;
}

} // namespace velmora
