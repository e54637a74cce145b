#pragma once

// What went wrong, in one vocabulary for every operation that can fail, and the one type
// such an operation returns. A Failure has a kind, the file or place it concerns, a detail
// built in Japanese where the failure is known, and the errno where a call failed. The
// kinds and the error codes are put into Japanese here and nowhere else (never from Qt's
// English texts), and message() is the one way a failure becomes what the user reads.

#include <QString>

#include <utility>
#include <variant>

namespace zor {

enum class FileAccess { Read, Write };

struct Failure {
    enum class Kind {
        System,     // a call failed: code is its errno
        NotRegular, // a pipe, a device, a socket: never waited on
        Folder,     // a folder where a file was meant
        TooLarge,   // larger than limit
        SameFile,   // an output that is one of the files it must not replace, named in other
        Exists,     // a file that is there already and may not be replaced
        BadText,    // text that can't be read as what it should be, or written as it is
        Damaged,    // bytes that aren't what they claim to be: a patch, the battle blocks
        OtherFile,  // a patch made for another file
        Refused,    // what the document, its definitions or the image don't allow
    };

    Kind kind = Kind::Refused;
    QString place;  // the file's path, or the place as the message names it (a file of a folder, a cell)
    QString detail; // why, in Japanese, where the kind alone doesn't say it; built where the failure is known
    int code = 0;   // System: the errno
    FileAccess access = FileAccess::Read;
    qint64 limit = 0; // TooLarge: the largest size allowed
    QString other;    // SameFile: that file as the user knows it, "元のイメージ a.rom"
    QString step;     // the step that failed, naming its place ("a.rom に書き込めません"); empty when the reason says all
    QString after;    // what the failure left, in whole sentences ("ファイルは元のままです。")

    static Failure Of(Kind kind, const QString& place, const QString& detail);
    static Failure FromErrno(const QString& path, int code, FileAccess access);
    static Failure TooLargeFile(const QString& path, qint64 limit);

    // The file (or a folder above it) does not exist.
    bool missing() const;

    // Why, without the step: the detail, else the kind in Japanese; never ends in "。" unless
    // the detail does.
    QString reason() const;

    // The whole message: "step（reason）。after"; after a step that is a sentence of its
    // own ("a.rom を読み込めません。"), the reason as the next one; with no step named, the
    // reason as a sentence followed by after.
    QString message() const;

    // This failure as the message of the step that failed, leaving after; a step named
    // already makes its message the reason of this one.
    Failure said(const QString& failedStep, const QString& left = QString()) const;
};

// errno as a Japanese reason: what a user can act on, else the number.
QString ErrnoReason(int code, FileAccess access);

// "64 MiB", "16 MiB", or bytes when the limit is not a whole number of MiB.
QString SizeText(qint64 bytes);

// The value of an operation that can fail, or its Failure. std::expected says this, but
// only from C++23; ZOR is C++20, so this is the small part of it ZOR uses. The value of a
// failure, or the failure of a value, throws std::bad_variant_access, as a bounds check does.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(const T& value) : state_(std::in_place_index<0>, value) {}
    Result(T&& value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& operator*() & { return std::get<0>(state_); }
    const T& operator*() const& { return std::get<0>(state_); }
    T&& operator*() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }

    T value_or(T fallback) const& { return ok() ? **this : std::move(fallback); }
    T value_or(T fallback) && { return ok() ? std::move(**this) : std::move(fallback); }

    const Failure& failure() const { return std::get<1>(state_); }

    friend bool operator==(const Result& result, const T& value) { return result.ok() && *result == value; }

private:
    std::variant<T, Failure> state_;
};

// An operation that gives nothing but success or its Failure: `return {};` succeeds.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const Failure& failure() const { return std::get<1>(state_); }

private:
    std::variant<std::monostate, Failure> state_;
};

} // namespace zor
