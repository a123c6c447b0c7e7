#pragma once
#include <stdexcept>
#include <string>

namespace mrk2 {

// An error as the operator sees it: a number and a Japanese description.
// Numbers are SQLite result codes for database errors, errno values for file
// errors, and the FormatError codes below for faults in input files and
// settings (see docs/errors.md).
//
// The engine throws it; the place where an operation starts catches it and tells
// the person once. `context` names what it happened to (a path, a region), so
// that the report can say so; the innermost place that knows it sets it.
class Error : public std::runtime_error {
  public:
    Error(int number, std::string description, std::string context = {});
    int number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& context() const { return context_; }

    // The same error, naming `context` unless it names something already.
    Error in(const std::string& context) const;

  private:
    int number_;
    std::string description_;
    std::string context_;
};

// An operation that will not start or go on, for a reason the person can act on
// ("CSVファイルを選択してください。"). It carries its whole message and no number.
class Refusal : public std::runtime_error {
  public:
    explicit Refusal(const std::string& text) : std::runtime_error(text) {}
};

// Our own numbers for faults in CSV and INI input; chosen above every SQLite
// result code and errno value so that a number alone tells where it came from.
namespace FormatError {
inline constexpr int MissingColumn = 10001;    // a line has fewer columns than a mapped index
inline constexpr int EmptyValue = 10002;       // a value that may not be empty is empty
inline constexpr int NotANumber = 10003;       // a value that must be a number is not
inline constexpr int TooManyEntries = 10004;   // a documented list limit was passed
inline constexpr int InvalidEncoding = 10005;  // bytes that are not valid CP932 / UTF-8
inline constexpr int InvalidName = 10006;      // a name that cannot be a file name
inline constexpr int NotFound = 10007;         // a row or table that must be there is not
inline constexpr int DamagedArchive = 10008;   // a zip archive or member that cannot be read whole
inline constexpr int NotAFile = 10009;         // a directory, FIFO or device where a file belongs
inline constexpr int OutOfRange = 10010;       // a number outside the range its value may take
inline constexpr int RegistryFile = 10011;     // an Address Base Registry file that does not fit
inline constexpr int SameMunicipalityTwice = 10012;  // two sources of one layout, one municipality
}  // namespace FormatError

// An Error from an errno value, described in Japanese; `what` names the operation.
Error fileError(int errnoValue, const std::string& what = {});

// Any exception as the operator sees it: an mrk2::Error as it is; running out of
// memory as ENOMEM; anything else under number 0 with its own text.
Error asError(const std::exception& e);

// The standard error report: description, "(", number, ")", and, when there is a
// context (a path or a region name), a line break and that context. Without an
// explicit one, the error's own context is used.
std::string standardErrorText(const Error& e, const std::string& context = {});

// Runs `work`, naming `context` in any mrk2::Error (or other exception) it throws
// that names nothing yet.
template <class Work>
decltype(auto) inContext(const std::string& context, Work&& work);

template <class Work>
decltype(auto) inContext(const std::string& context, Work&& work) {
    try {
        return work();
    } catch (const Error& e) {
        throw e.in(context);
    } catch (const Refusal&) {
        throw;
    } catch (const std::exception& e) {
        throw asError(e).in(context);
    }
}

}  // namespace mrk2
