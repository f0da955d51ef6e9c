#include "vantrixbind/vantrixbind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>

#include <memory>

#include "numfmt/textread.h"
#include "shell/dialoggate.h"

namespace tavisol::vantrix {

namespace {

enum Export { kShowTOC, kShowIndex, kReal48ToDouble, kDoubleToReal48, kExportCount };
constexpr const char *kExportNames[kExportCount] = {"ShowTOC", "ShowIndex", "Real48ToDouble", "DoubleToReal48"};

struct Binding {
    QString explicitPath;
    std::unique_ptr<QLibrary> library;
    QFunctionPointer functions[kExportCount] = {};
};

Binding &binding() {
    static Binding b;
    return b;
}

QString programFolder() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

void fail(BindError *error, int number, const QString &description) {
    if (error != nullptr)
        *error = BindError{number, description};
}

// Loads one candidate: a path (must exist) or a plain name for the usual
// search for libraries. Fills *why on failure.
std::unique_ptr<QLibrary> tryLoad(const QString &name, bool isPath, QString *why) {
    if (isPath && !QFileInfo::exists(name)) {
        *why = QStringLiteral("File not found: ") + name;
        return nullptr;
    }
    // The loader would wait for ever on a pipe in the library's place.
    if (isPath) {
        if (const auto failure = numfmt::CheckFileToRead(name.toStdString())) {
            *why = QString::fromStdString(*failure);
            return nullptr;
        }
    }
    auto lib = std::make_unique<QLibrary>(name);
    if (lib->load())
        return lib;
    *why = isPath ? lib->errorString() : QStringLiteral("File not found: ") + name;
    return nullptr;
}

bool loadLibrary(BindError *error) {
    Binding &b = binding();
    if (b.library && b.library->isLoaded())
        return true;
    QString why;
    std::unique_ptr<QLibrary> lib;
    if (!b.explicitPath.isEmpty()) {
        lib = tryLoad(b.explicitPath, true, &why);
    } else {
        // The program folder first, then the usual search by plain name.
        lib = tryLoad(QDir(programFolder()).filePath(QStringLiteral("libvantrix.so")), true, &why);
        if (!lib) {
            QString plainWhy;
            lib = tryLoad(QStringLiteral("libvantrix.so"), false, &plainWhy);
        }
    }
    if (!lib) {
        fail(error, kErrLibraryNotFound, why);
        return false;
    }
    b.library = std::move(lib);
    for (auto &f : b.functions)
        f = nullptr;
    return true;
}

QFunctionPointer function(Export which, BindError *error) {
    if (!loadLibrary(error))
        return nullptr;
    Binding &b = binding();
    if (b.functions[which] == nullptr) {
        b.functions[which] = b.library->resolve(kExportNames[which]);
        if (b.functions[which] == nullptr) {
            fail(error, kErrEntryNotFound,
                 QStringLiteral("Can't find entry point %1 in %2")
                     .arg(QLatin1String(kExportNames[which]), b.library->fileName()));
            return nullptr;
        }
    }
    return b.functions[which];
}

bool show(Export which, const QString &helpFile, bool *shown, BindError *error) {
    const auto f = reinterpret_cast<VantrixShowFn>(function(which, error));
    if (f == nullptr)
        return false;
    const QByteArray path = helpFile.toLocal8Bit();
    const bool result = f(path.constData()) != 0;
    if (shown != nullptr)
        *shown = result;
    return true;
}

BindError helpCommand(Export which, const QString &helpFile, QWidget *parent) {
    BindError error;
    if (!show(which, helpFile, nullptr, &error))
        showErrorMessage(error, parent);
    return error;
}

} // namespace

void setLibraryPath(const QString &path) {
    Binding &b = binding();
    b.explicitPath = path;
    // Forgetting the handle does not unload the library: a help window it
    // opened may still be running its code.
    b.library.reset();
    for (auto &f : b.functions)
        f = nullptr;
}

bool showTOC(const QString &helpFile, bool *shown, BindError *error) { return show(kShowTOC, helpFile, shown, error); }

bool showIndex(const QString &helpFile, bool *shown, BindError *error) {
    return show(kShowIndex, helpFile, shown, error);
}

bool real48ToDouble(const Real48Rec &record, double *value, BindError *error) {
    const auto f = reinterpret_cast<VantrixReal48ToDoubleFn>(function(kReal48ToDouble, error));
    if (f == nullptr)
        return false;
    *value = f(&record);
    return true;
}

bool doubleToReal48(double value, Real48Rec *record, BindError *error) {
    const auto f = reinterpret_cast<VantrixDoubleToReal48Fn>(function(kDoubleToReal48, error));
    if (f == nullptr)
        return false;
    f(value, record);
    return true;
}

Real48Rec real48FromBytes(const std::array<std::uint8_t, 6> &bytes) {
    Real48Rec r{};
    r.Exp = bytes[0];
    r.Lo = static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8));
    r.Mid = static_cast<std::uint16_t>(bytes[3] | (bytes[4] << 8));
    r.Hi = bytes[5];
    return r;
}

std::array<std::uint8_t, 6> real48ToBytes(const Real48Rec &record) {
    return {record.Exp,
            static_cast<std::uint8_t>(record.Lo & 0xFF),
            static_cast<std::uint8_t>(record.Lo >> 8),
            static_cast<std::uint8_t>(record.Mid & 0xFF),
            static_cast<std::uint8_t>(record.Mid >> 8),
            record.Hi};
}

QString helpErrorMessage(int number, const QString &description) {
    return QStringLiteral("Error --> Number : ") + QString::number(number) + QStringLiteral("\r\n(") + description +
           QStringLiteral(")");
}

void showErrorMessage(const BindError &error, QWidget *parent) {
    const QString text = helpErrorMessage(error.number, error.description);
    if (!ModalDialogMayOpen({"message box", "Tavisol", text.toStdString()}))
        return;
    QMessageBox::information(parent, QStringLiteral("Tavisol"), text, QMessageBox::Ok);
}

BindError openHelpContents(const QString &helpFile, QWidget *parent) { return helpCommand(kShowTOC, helpFile, parent); }

BindError openHelpIndex(const QString &helpFile, QWidget *parent) { return helpCommand(kShowIndex, helpFile, parent); }

} // namespace tavisol::vantrix
