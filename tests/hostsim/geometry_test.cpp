// The simulated host's geometry: analytic entities in body frames, generated block sides, refused geometry.
#include "host/geometry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numbers>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/geometry_reps.h"
#include "hostsim/geometry_objects.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "hostsim/json_reader.h"

namespace {

namespace fs = std::filesystem;

fs::path BlockCase() { return fs::path(DORVIX_TEST_DATA) / "cases" / "geometry-block"; }

// What the host answers for one entity asked at one point, walked as the collectors walk it.
struct Answer {
    Answer(HRESULT e = E_FAIL, int t = 0, double pu = 0, double pv = 0, Vector3 vec = {},
           bool withAxis = false, Vector3 ax = {})
        : entity(e), type(t), u(pu), v(pv), vector(vec), hasAxis(withAxis), axis(ax) {}
    HRESULT entity;  // GetEntity
    int type;
    double u, v;     // surface parameters, or the curve parameter in u
    Vector3 vector;  // normal or first derivative
    bool hasAxis;
    Vector3 axis;
};

Answer Ask(IHostGeometry& geometry, int bodyId, int entityId, const Vector3& point) {
    Answer a;
    ComPtr<IHostBody> body;
    ComPtr<IHostTopology> topology;
    ComPtr<IUnknown> entity;
    int index = -1;
    if (geometry.GetBody(bodyId, body) != S_OK || body->GetEntityIndex(entityId, index) != S_OK ||
        body->GetTopology(topology) != S_OK)
        return a;
    a.entity = topology->GetEntity(index, entity);
    if (ComPtr<IHostFace> face = entity.As<IHostFace>()) {
        ComPtr<IHostSurface> surface;
        Vector3 evaluated;
        if (face->GetSurfaceType(a.type) != S_OK || face->GetSurface(surface) != S_OK ||
            surface->GetClosestParameters(point, a.u, a.v) != S_OK ||
            surface->GetNormal(a.u, a.v, a.vector) != S_OK ||
            surface->GetEvaluatedNormal(a.u, a.v, evaluated) != S_OK || !(evaluated == a.vector))
            a.entity = E_FAIL;
        if (ComPtr<IHostCylinder> cylinder = surface.As<IHostCylinder>())
            a.hasAxis = cylinder->GetAxisDirection(a.axis) == S_OK;
    } else if (ComPtr<IHostEdge> edge = entity.As<IHostEdge>()) {
        ComPtr<IHostCurve> curve;
        if (edge->GetCurveType(a.type) != S_OK || edge->GetCurve(curve) != S_OK ||
            curve->GetClosestParameter(point, a.u) != S_OK ||
            curve->GetFirstDerivative(a.u, a.vector) != S_OK)
            a.entity = E_FAIL;
        if (ComPtr<IHostCircle> circle = curve.As<IHostCircle>())
            a.hasAxis = circle->GetAxisDirection(a.axis) == S_OK;
    }
    return a;
}

struct Row {
    int body, entity;
    Vector3 point;
    Answer expected;
};

void ExpectAnswers(IHostGeometry& geometry, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE("body " + std::to_string(row.body) + " entity " + std::to_string(row.entity));
        const Answer a = Ask(geometry, row.body, row.entity, row.point);
        const Answer& e = row.expected;
        ASSERT_EQ(a.entity, e.entity);
        EXPECT_EQ(a.type, e.type);
        EXPECT_NEAR(a.u, e.u, 1e-12);
        EXPECT_NEAR(a.v, e.v, 1e-12);
        EXPECT_NEAR((a.vector - e.vector).Length(), 0.0, 1e-12);
        EXPECT_EQ(a.hasAxis, e.hasAxis);
        EXPECT_NEAR((a.axis - e.axis).Length(), 0.0, 1e-12);
    }
}

ComPtr<IHostGeometry> GeometryOf(const std::string& json) {
    HostSimCase hostCase;
    ReadHostJson(json, "case/host.json", hostCase);
    return CreateHostSimGeometryObject(hostCase.geometry);
}

const char* kAnalytic = R"({"geometry": {
    "entities": [
        {"id": 100, "type": "plane", "point": [0, 0, 0], "normal": [0, 0, 2]},
        {"id": 101, "type": "cylinder", "axisPoint": [0, 0, 0], "axis": [0, 0, 1], "radius": 5},
        {"id": 102, "type": "circle", "centre": [0, 0, 1], "axis": [0, 0, 1], "radius": 5},
        {"id": 103, "type": "line", "point": [1, 0, 0], "direction": [2, 0, 0]},
        {"id": 104, "type": "vertex", "point": [0, 0, 0]},
        {"id": 105, "type": "plane", "point": [0, 0, 0], "normal": [1e300, 0, 0]}],
    "bodies": [
        {"id": 10, "entities": [100, 101, 102, 103, 104]},
        {"id": 20, "placement": {"xAxis": [0, 1, 0], "yAxis": [-1, 0, 0], "origin": [1, 2, 3]},
         "entities": [105]}]}})";

TEST(HostSimGeometry, AnswersTheAnalyticEntitiesInTheBodyFrame) {
    ComPtr<IHostGeometry> geometry = GeometryOf(kAnalytic);
    ASSERT_TRUE(geometry);
    const double quarter = std::numbers::pi / 2;
    ExpectAnswers(
        *geometry,
        {
            {10, 100, {3, 4, 7}, {S_OK, kHostSurfacePlane, 4, -3, {0, 0, 1}}},
            {10, 101, {0, 5, 2}, {S_OK, kHostSurfaceCylinder, 0, 2, {0, 1, 0}, true, {0, 0, 1}}},
            {10, 101, {-3, 0, 1}, {S_OK, kHostSurfaceCylinder, quarter, 1, {-1, 0, 0}, true, {0, 0, 1}}},
            {10, 102, {0, 5, 1}, {S_OK, kHostCurveCircle, 0, 0, {-5, 0, 0}, true, {0, 0, 1}}},
            {10, 102, {-2, 0, 1}, {S_OK, kHostCurveCircle, quarter, 0, {0, -5, 0}, true, {0, 0, 1}}},
            {10, 103, {4, 3, 0}, {S_OK, kHostCurveLine, 3, 0, {1, 0, 0}}},
            {10, 104, {0, 0, 0}, {S_FALSE}},
            // Not turned by the placement: the body's entities answer in its own frame.
            // Its normal was given as [1e300, 0, 0], too long to square.
            {20, 105, {0, 0, 9}, {S_OK, kHostSurfacePlane, 9, 0, {1, 0, 0}}},
        });

    ComPtr<IHostBody> placed;
    ComPtr<IHostTransform> placement;
    ASSERT_EQ(geometry->GetBody(20, placed), S_OK);
    ASSERT_EQ(placed->GetPlacement(placement), S_OK);
    const double expected[4][4] = {{0, -1, 0, 1}, {1, 0, 0, 2}, {0, 0, 1, 3}, {0, 0, 0, 1}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            double value = -9;
            EXPECT_EQ(placement->GetEntry(row, column, value), S_OK);
            EXPECT_EQ(value, expected[row][column]) << row << ", " << column;
        }
}

TEST(HostSimGeometry, UnknownBodiesEntitiesAndIndicesAnswerInvalidArg) {
    ComPtr<IHostGeometry> geometry = GeometryOf(kAnalytic);
    ComPtr<IHostBody> body;
    EXPECT_EQ(geometry->GetBody(99, body), E_INVALIDARG);
    EXPECT_FALSE(body);
    ASSERT_EQ(geometry->GetBody(10, body), S_OK);
    int index = -1;
    EXPECT_EQ(body->GetEntityIndex(105, index), E_INVALIDARG);  // an entity of another body
    ComPtr<IHostTopology> topology;
    ASSERT_EQ(body->GetTopology(topology), S_OK);
    ComPtr<IUnknown> entity;
    EXPECT_EQ(topology->GetEntity(5, entity), E_INVALIDARG);
    EXPECT_EQ(topology->GetEntity(-1, entity), E_INVALIDARG);
    ComPtr<IHostTransform> placement;
    ASSERT_EQ(body->GetPlacement(placement), S_OK);
    double value = 0;
    EXPECT_EQ(placement->GetEntry(0, 4, value), E_INVALIDARG);
}

TEST(HostSimGeometry, GeneratedBlocksBringTheirSidesUnlessListed) {
    const std::unique_ptr<HostSimCase> hostCase = LoadHostCase(BlockCase());
    ComPtr<IHostGeometry> geometry = CreateHostSimGeometryObject(hostCase->geometry);
    ASSERT_TRUE(geometry);
    const int plane = kHostSurfacePlane, line = kHostCurveLine;
    const double half = -std::numbers::pi / 2;
    // The solid of body mesh id 3 is body 7 by the "bodies" records; side 302 is listed as a
    // cylinder. The sheet of body mesh id 4 has no record and keeps its mesh id.
    ExpectAnswers(
        *geometry,
        {
            {7, 301, {1, 0, 0}, {S_OK, plane, 0, 0, {-1, 0, 0}}},
            {7, 302, {13, 0, 0.5}, {S_OK, kHostSurfaceCylinder, half, 0.5, {1, 0, 0}, true, {0, 0, 1}}},
            {7, 303, {1, 0, 0}, {S_OK, plane, 0, 0, {0, -1, 0}}},
            {7, 304, {1, 1, 0}, {S_OK, plane, 0, 0, {0, 1, 0}}},
            {7, 305, {1, 0, 0}, {S_OK, plane, 0, 0, {0, 0, -1}}},
            {7, 306, {1, 0, 1}, {S_OK, plane, 0, 0, {0, 0, 1}}},
            {4, 401, {0, 0, 5}, {S_OK, plane, 0, 0, {0, 0, 1}}},
            {4, 402, {1, 1, 5}, {S_OK, line, 1, 0, {1, 0, 0}}},
            {4, 403, {1, 1, 5}, {S_OK, line, 1, 0, {0, 1, 0}}},
            {4, 404, {1, 1, 5}, {S_OK, line, 3, 0, {-1, 0, 0}}},
            {4, 405, {1, 1, 5}, {S_OK, line, 2, 0, {0, -1, 0}}},
        });
    ComPtr<IHostBody> byMeshId;
    EXPECT_EQ(geometry->GetBody(3, byMeshId), E_INVALIDARG);
}

std::string Refusal(const std::string& json) {
    HostSimCase hostCase;
    try {
        ReadHostJson(json, "case/host.json", hostCase);
    } catch (const HostCaseError& e) {
        return e.Place() + " | " + e.Reason();
    }
    return "accepted";
}

TEST(HostSimGeometry, MalformedGeometryIsRefusedAtItsPlace) {
    const std::string plane = R"({"id": 1, "type": "plane", "point": [0, 0, 0], "normal": [0, 0, 1]})";
    auto entities = [](const std::string& items, const std::string& bodies = "[]") {
        return R"({"geometry": {"entities": [)" + items + R"(], "bodies": )" + bodies + "}}";
    };
    const std::pair<std::string, std::string> cases[] = {
        {R"({"geometry": [1]})", "/geometry | expected an object"},
        {entities(R"({"id": 1, "type": "sphere", "point": [0, 0, 0]})"),
         "/geometry/entities/0/type | unknown type \"sphere\" (plane, cylinder, circle, line or vertex)"},
        {entities(R"({"id": 1, "type": "plane", "point": [0, 0, 0], "normal": [0, 0, 0]})"),
         "/geometry/entities/0/normal | must not be zero-length"},
        {entities(R"({"id": 1, "type": "line", "point": [0, 0, 0], "direction": [1, "x", 0]})"),
         "/geometry/entities/0/direction/1 | expected a number"},
        {entities(R"({"id": 1, "type": "circle", "centre": [0, 0, 0], "axis": [0, 0, 1], "radius": 0})"),
         "/geometry/entities/0/radius | must be positive"},
        {entities(R"({"id": 1, "type": "cylinder", "axisPoint": [0, 0, 0], "axis": [0, 0, 1]})"),
         "/geometry/entities/0 | missing member \"radius\""},
        {entities(plane + ", " + plane), "/geometry/entities/1/id | entity id used twice"},
        {entities(plane, R"([{"id": 10, "entities": [2]}])"),
         "/geometry/bodies/0/entities/0 | names no entity of the geometry"},
        {entities(plane, R"([{"id": 10, "entities": [1]}, {"id": 11, "entities": [1]}])"),
         "/geometry/bodies/1/entities/0 | entity 1 already belongs to body 10"},
        {entities(plane, R"([{"id": 10}, {"id": 10}])"), "/geometry/bodies/1/id | body id used twice"},
        {entities(plane, R"([{"id": 10, "placement": {"xAxis": [1, 1, 0]}}])"),
         "/geometry/bodies/0/placement | xAxis and yAxis are not perpendicular"},
        {R"({"mesh": {"blocks": [{"element": "shell4", "cells": [1, 1], "part": 1, "body": 1}]},
            "geometry": {"entities": [{"id": 101, "type": "line", "point": [0, 0, 0], "direction": [1, 0, 0]}]}})",
         "/geometry/entities/0/type | the mesh holds entity 101 as a face"},
        {entities(plane, R"([{"id": 10, "placement": {"xAxis": [0, 0, 3], "yAxis": [2, 0, 0]},
                             "entities": [1]}])"),
         "accepted"},
    };
    for (const auto& [json, refusal] : cases) EXPECT_EQ(Refusal(json), refusal) << json;
}

TEST(HostSimGeometry, TheGeometryRepresentationReachesTheCaseGeometry) {
    {
        HostSim host(BlockCase());
        NCAERep::CCAEDatabase db;
        auto* rep =
            dynamic_cast<NCAERep::CGeometryRep*>(db.getRoot()->createChild(L"GeometryRep", L"GeometryRep"));
        ASSERT_TRUE(rep);
        ComPtr<IUnknown> object;
        ASSERT_EQ(rep->getGeometry(object), S_OK);
        ComPtr<IHostGeometry> geometry = object.As<IHostGeometry>();
        ASSERT_TRUE(geometry);
        EXPECT_EQ(Ask(*geometry, 9, 500, {0, 2, 0}).type, kHostCurveCircle);
    }
    HostSim empty(fs::path(DORVIX_TEST_DATA) / "cases" / "host-basic");
    NCAERep::CCAEDatabase db;
    auto* rep =
        dynamic_cast<NCAERep::CGeometryRep*>(db.getRoot()->createChild(L"GeometryRep", L"GeometryRep"));
    ASSERT_TRUE(rep);
    ComPtr<IUnknown> object;
    EXPECT_EQ(rep->getGeometry(object), E_FAIL);
    EXPECT_FALSE(object);
}

}  // namespace
