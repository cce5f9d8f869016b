#pragma once

// One window over a throw-away ledger, driven through its real widgets. The
// messages it shows are recorded, each with the number of rows its grid held at
// that moment (to tell whether a list was reloaded before a notice); modal
// windows it opens run scripts; today is 17/05/2024.

#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

namespace velmora::test {

class GridCountingMessages : public RecordingMessageService {
public:
    std::function<int()> rows;
    QList<int> rowsAtMessage;
    MessageAnswer show(QWidget* parent, const Message& message) override {
        rowsAtMessage.append(rows ? rows() : -1);
        return RecordingMessageService::show(parent, message);
    }
};

template <typename Window> class WindowFixture {
public:
    TestLedger ledger;
    GridCountingMessages messages;
    TestServices services{messages};
    std::unique_ptr<Window> window;

    // Over a ledger of that year.
    explicit WindowFixture(const QString& year = QStringLiteral("2024")) : ledger(year) {
        messages.rows = [this] {
            QTableView* grid =
                window ? window->template findChild<QTableView*>("mshDatos") : nullptr;
            return grid != nullptr ? grid->model()->rowCount() : -1;
        };
    }

    // Builds the window, lets `prepare` set it up as its caller would, and shows it.
    void open(const std::function<void(Window&)>& prepare = {}) {
        window = std::make_unique<Window>(ledger.state(), services.services);
        if (prepare) {
            prepare(*window);
        }
        QVERIFY(showForInput(*window));
    }

    template <typename T> T* find(const QString& name) const {
        T* child = window->template findChild<T*>(name);
        if (child == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return child;
    }
    QTableView* grid() const { return find<QTableView>("mshDatos"); }
    QString cell(int row, int column) const {
        return grid()->model()->index(row, column).data().toString();
    }
    void click(const QString& button) const {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
};

} // namespace velmora::test
