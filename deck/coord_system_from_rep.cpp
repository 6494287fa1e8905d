// A coordinate-system object read into a frame: its type, parameters, axis rows and origin point.
#include "deck/coord_system_from_rep.h"

#include "caerep/model/geometry_reps.h"

CoordSystemSafe ReadCoordSystemFromRep(const NCAERep::CCAERepBase* object) {
    CoordSystemSafe frame;
    const auto* system = dynamic_cast<const NCAERep::CCoordinateSystemRep*>(object);
    if (!system) return frame;
    Matrix3 axes;
    for (int row = 0; row < 3; ++row) {
        const auto axis = system->getAxis(row);
        if (!axis) return frame;
        axes.row[row] = {axis->getCoordinate(0), axis->getCoordinate(1), axis->getCoordinate(2)};
    }
    Vector3 origin;
    if (const auto* point = dynamic_cast<const NCAERep::CPoint3D*>(system->m_childOrigin))
        origin = {point->getCoordinate(0), point->getCoordinate(1), point->getCoordinate(2)};
    int type = 0;
    double param1 = 0.0, param2 = 0.0;
    system->m_Type.getValue(type);
    system->m_Param1.getValue(param1);
    system->m_Param2.getValue(param2);
    return CoordSystemSafe(type, axes, origin, param1, param2);
}
