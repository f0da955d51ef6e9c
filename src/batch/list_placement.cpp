#include "batch/list_placement.h"

namespace tavisol::batch {

QRect ListWindowGeometry(const QRect &room, QPoint corner, const QMargins &frame, QSize wanted, QSize minimum) {
    const QSize fits = QRect(corner, room.bottomRight()).marginsRemoved(frame).size();
    return {corner + QPoint(frame.left(), frame.top()), wanted.boundedTo(fits).expandedTo(minimum)};
}

} // namespace tavisol::batch
