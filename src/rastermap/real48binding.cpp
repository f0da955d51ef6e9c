#include "rastermap/real48binding.h"

#include "rastermap/rastererror.h"
#include "vantrixbind/vantrixbind.h"

namespace tavisol::rastermap {

namespace {
[[noreturn]] void fail(const vantrix::BindError &e) {
    throw RasterError(vantrix::helpErrorMessage(e.number, e.description).toStdString());
}
} // namespace

Real48Conversions VantrixConversions() {
    Real48Conversions c;
    c.ToDouble = [](const Real48Rec &r) {
        double v = 0;
        vantrix::BindError e;
        if (!vantrix::real48ToDouble(r, &v, &e))
            fail(e);
        return v;
    };
    c.ToReal48 = [](double v) {
        Real48Rec r{};
        vantrix::BindError e;
        if (!vantrix::doubleToReal48(v, &r, &e))
            fail(e);
        return r;
    };
    return c;
}

} // namespace tavisol::rastermap
