#pragma once

// What goes wrong with a report, said in Spanish for the user. The kind tells a
// missing report file, which the report window names in its own words, from
// everything else.

#include <QString>

#include <stdexcept>

namespace velmora {

class ReportError : public std::runtime_error {
public:
    enum class Kind {
        FileNotFound, // the report file is not where it should be
        BadFile,      // the report file cannot be read or makes no sense
        BadFormula,   // the record selection is refused
        Database,     // the year's database cannot be read
    };

    ReportError(Kind kind, QString description);
    Kind kind() const { return kind_; }
    const QString& description() const { return description_; }

private:
    Kind kind_;
    QString description_;
};

} // namespace velmora
