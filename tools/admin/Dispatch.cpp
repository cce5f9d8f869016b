#include "admin/AdminCommands.h"

#include "admin/CommandLine.h"
#include "state/Settings.h"
#include "store/DbErrorText.h"
#include "store/Sqlite.h"

#include <exception>
#include <new>
#include <utility>

namespace velmora::admin {

QString usageText() {
    return QStringLiteral(
        "Uso:\n"
        "  velmora-admin init CARPETA_DE_DATOS [AÑO] [--force]\n"
        "      Prepara la instalación: escribe ruta.ini y ano.ini junto al programa,\n"
        "      color.ini y color2.ini si aún no existen, crea la base de datos\n"
        "      CARPETA_DE_DATOS/AÑO/Devedur.mdb, la carpeta CARPETA_DE_DATOS/Informes\n"
        "      con los informes Datos.rpt, Extracto.rpt y Resumen.rpt si aún no existen\n"
        "      (uno que ya esté allí no se toca, tampoco con --force) y la carpeta Datos\n"
        "      junto al programa.\n"
        "      AÑO es el nombre del año, como en el programa (2024, por ejemplo); si se\n"
        "      omite, el año actual. Nunca sustituye una base de datos que ya existe.\n"
        "      Si la instalación ya usa una base de datos que existe, no cambia nada;\n"
        "      con --force la deja de usar (sin borrarla) y prepara la nueva.\n"
        "  velmora-admin demo [N]\n"
        "      Añade N apuntes de ejemplo (1200 si se omite, como mucho 1.000.000) y las\n"
        "      cuentas que falten a la base de datos del año de ano.ini.\n"
        "  velmora-admin copies [AÑO]\n"
        "      Lista las copias de seguridad automáticas del año (el de ano.ini si se\n"
        "      omite), de la más reciente a la más antigua, con su fecha y su tamaño.\n"
        "  velmora-admin restore-copy ARCHIVO\n"
        "      Pone la copia ARCHIVO en lugar de la base de datos del año de ano.ini,\n"
        "      después de guardar una copia de la actual. Cierre antes el programa.\n"
        "      Si ARCHIVO no es una base de datos de contabilidad sana, o es de otro año\n"
        "      (por la carpeta en la que está, el ano.ini que tiene al lado o las\n"
        "      fechas de sus apuntes), no cambia nada.\n"
        "  velmora-admin export-csv [--year AÑO] ARCHIVO\n"
        "      Escribe en ARCHIVO, en CSV (punto y coma, decimales con coma), todos los\n"
        "      apuntes del año (el de ano.ini si se omite --year), del más antiguo al\n"
        "      más reciente. Los apuntes cuyo importe no es un número quedan fuera y\n"
        "      se nombran.\n"
        "  velmora-admin import-csv [--year AÑO] [--dry-run] [--allow-duplicates] ARCHIVO\n"
        "      Añade al año los apuntes de un CSV (el que escribe export-csv o el\n"
        "      internacional, con comas y decimales con punto). Muestra antes lo que\n"
        "      hará: los apuntes, los duplicados, las filas rechazadas y las cuentas\n"
        "      que el año no tiene, cuyas filas no se importan. Guarda una copia de\n"
        "      seguridad y escribe todo o nada. Los duplicados se saltan salvo con\n"
        "      --allow-duplicates; con --dry-run solo muestra la vista previa.\n"
        "  velmora-admin import-n43 --account CUENTA [--year AÑO] [--dry-run]\n"
        "                           [--allow-duplicates] ARCHIVO\n"
        "      Añade al año los movimientos de un extracto bancario en Norma 43\n"
        "      (cuaderno 43) como apuntes de CUENTA, que debe existir. La otra cuenta\n"
        "      de cada movimiento se propone a partir de los apuntes del año; los\n"
        "      movimientos sin propuesta se listan y no se importan. Vista previa,\n"
        "      duplicados, copia de seguridad y escritura como en import-csv.\n"
        "  velmora-admin import-bank --account CUENTA [--year AÑO] [--dry-run]\n"
        "                            [--allow-duplicates] ARCHIVO\n"
        "      Añade al año como apuntes de CUENTA los movimientos del archivo que da\n"
        "      el banco: un CSV con sus propias columnas o una hoja de cálculo (.xlsx o\n"
        "      .xls). Busca la fila de cabecera bajo las líneas de encima y reconoce\n"
        "      las columnas (fecha, concepto, importe o cargo y abono, saldo); las\n"
        "      columnas que se cambien en el programa para CUENTA se usan aquí\n"
        "      también. La otra cuenta se propone por las reglas de importación y los\n"
        "      apuntes del año; los movimientos sin propuesta se listan y no se\n"
        "      importan. Si el archivo da el saldo, lo compara con el de CUENTA antes\n"
        "      y después de importar. Vista previa, duplicados, copia de seguridad y\n"
        "      escritura como en import-csv.\n"
        "  velmora-admin balances [--year AÑO] [--date DD/MM/AAAA]\n"
        "      Muestra, como la ventana Saldos, el saldo inicial, las entradas, las\n"
        "      salidas y el saldo de cada cuenta de caja a la fecha (el 31/12 del año\n"
        "      si se omite --date) con su total, y los ingresos y gastos de cada cuenta\n"
        "      desde el 1 de enero de ese año hasta la fecha.\n"
        "  velmora-admin opening-balance [--year AÑO] CUENTA IMPORTE\n"
        "      Pone el saldo inicial de la cuenta de caja CUENTA en el año (el de\n"
        "      ano.ini si se omite --year). IMPORTE como 1.234,56 o -5,00.\n"
        "  velmora-admin carry-over [--year AÑO]\n"
        "      Toma los saldos iniciales de las cuentas de caja del año (el de ano.ini\n"
        "      si se omite --year) de sus saldos en el año anterior a su último día: el\n"
        "      año desde el que se creó o, si no consta, el año de número anterior.\n"
        "      Muestra lo que cambia; las cuentas de caja que el año no tiene se\n"
        "      nombran y no se crean. El año anterior solo se lee.\n"
        "  velmora-admin receipts [--year AÑO] [--until DD/MM/AAAA] [--dry-run]\n"
        "      Apunta los recibos que han vencido en el año (el de ano.ini si se omite\n"
        "      --year) desde el 1 de enero hasta hoy, o hasta la fecha de --until, y\n"
        "      no después del 31/12 del año. Cada vencimiento se apunta una sola vez,\n"
        "      aunque la orden se repita (por ejemplo, cada día desde una tarea\n"
        "      programada). Los recibos de importe variable se listan y se apuntan\n"
        "      desde el programa. Guarda antes una copia de seguridad y escribe todos\n"
        "      o ninguno; con --dry-run solo los lista.\n"
        "  velmora-admin --help\n"
        "      Muestra esta ayuda.\n"
        "\n"
        "Códigos de salida: 0 bien, 1 fallo de la base de datos, de los ajustes o del\n"
        "archivo que se importa (entonces no se escribe nada),\n"
        "2 argumentos incorrectos.\n");
}

int runAdmin(const QStringList& args, const QString& programFolder, QTextStream& out,
             QTextStream& err) {
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << usageText();
        out.flush();
        return Success;
    }
    if (args.isEmpty()) {
        return badUsage(
            err, QStringLiteral("falta la orden (init, demo, copies, restore-copy, export-csv, "
                                "import-csv, import-n43, import-bank, balances, opening-balance, "
                                "carry-over o receipts)"));
    }
    try {
        using Command = int (*)(const QStringList&, const QString&, QTextStream&, QTextStream&);
        const std::pair<const char*, Command> commands[] = {
            {"init", runInit},
            {"demo", runDemo},
            {"copies", runCopies},
            {"restore-copy", runRestoreCopy},
            {"export-csv", runExportCsv},
            {"import-csv", runImportCsv},
            {"import-n43", runImportN43},
            {"import-bank", runImportBank},
            {"balances", runBalances},
            {"opening-balance", runOpeningBalance},
            {"carry-over", runCarryOver},
            {"receipts", runReceipts},
        };
        for (const auto& [name, command] : commands) {
            if (args[0] == QLatin1String(name)) {
                return command(args, programFolder, out, err);
            }
        }
    } catch (const SettingsError& error) {
        return failure(err, error.message());
    } catch (const DbError& error) {
        return failure(err, describeFailure(error));
    } catch (const std::bad_alloc&) {
        out.flush();
        return failure(err, QStringLiteral("no queda memoria libre para terminar la orden. "
                                           "Cierre otros programas y repítala."));
    } catch (const std::exception& error) {
        return failure(
            err, QStringLiteral("error inesperado: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    return badUsage(err, QStringLiteral("orden desconocida: «%1»").arg(args[0]));
}

} // namespace velmora::admin
