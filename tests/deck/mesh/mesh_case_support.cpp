// A mesh case read as the host reads it, a body added to a model, and the mesh sections written and split.
#include "mesh_case_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "caerep/core/cae_rep.h"
#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "hostsim/host_case.h"
#include "hostsim/mesh_object.h"
#include "tests/deck/deck_test_support.h"

namespace meshtest {

void AddBodyAttributes(NCAERep::CCAEDatabase& db, int bodyId, const std::wstring& caption,
                       const std::wstring& material) {
    using NCAERep::CPropertyValue;
    // The model's own shape: EngineeringRep, its GeometryAttributes, an assembly, a part.
    NCAERep::CCAERepBase* engineering = db.getRoot()->createChild(L"EngineeringRep", L"EngineeringRep");
    NCAERep::CCAERepBase* geometry = engineering->getChildByType(L"GeometryAttributes");
    NCAERep::CCAERepBase* assembly = geometry->createChild(L"AssemblyAttributes", L"Assembly");
    NCAERep::CCAERepBase* part = assembly->createChild(L"PartAttributes", L"Part");
    NCAERep::CCAERepBase* body = part->createChild(L"BodyAttributes", L"Body" + std::to_wstring(bodyId));
    CPropertyValue id, text, name;
    id.setValue(bodyId);
    text.setValue(caption);
    name.setValue(material);
    body->setOrAddProperty(L"ProtoReferenceId", id);
    body->setOrAddProperty(L"Caption", text);
    NCAERep::CCAERepBase* mat = body->createChild(L"MaterialRep", L"");
    mat->setOrAddProperty(L"MaterialName", name);
}

MeshCase LoadCase(const std::string& name) {
    const std::filesystem::path folder = decktest::CaseFolder(name);
    MeshCase c;
    // The folder is read as the host reads a whole case: host.json for the mesh and the body
    // records, CAERep.xml for each body's caption and material.
    const std::unique_ptr<HostSimCase> hostCase = LoadHostCase(folder);
    c.mesh = hostCase->mesh;
    if (c.mesh) c.meshObject = CreateHostSimMeshObject(c.mesh);
    c.bodies = hostCase->bodies;
    c.partCount = hostCase->partCount;
    c.twoDimensional = hostCase->is2D;
    c.analysisKind = hostCase->analysisKind;
    c.model = std::make_unique<NCAERep::CCAEDatabase>();
    EXPECT_EQ(c.model->getRoot()->resumeFromFile(hostCase->caeRepPath), 0) << hostCase->caeRepPath;
    return c;
}

Sections WriteSections(MeshCase& c) {
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    Sections s;
    CBodyAttributeWrapper bodies;
    bodies.SetBodies(&c.bodies);
    bodies.SetAnalysisKind(c.analysisKind);
    bodies.SetTwoDimensional(c.twoDimensional);
    s.code = bodies.FillNamesAndMaterials(c.model->getRoot());
    if (s.code) return s;
    CMeshWrapper mesh;
    EXPECT_EQ(mesh.SetMesh(c.meshObject.Get()), S_OK);
    mesh.SetPartCount(c.partCount);
    mesh.SetBodyWrapper(&bodies);
    {
        DorvixDeckFile deck(&owner);
        ResetDeckCounters();
        EXPECT_EQ(deck.Open("dorvix.dat"), 0);
        deck.WriteLine("!-- mesh sections --");
        s.code = mesh.WriteNodes(&deck);
        if (s.code == 0) s.code = mesh.WriteElements(&deck);
        int carry = 0;
        for (int part = 0; part < c.partCount && s.code == 0; ++part) {
            mesh.SetGroupCounter(carry);
            s.code = mesh.WriteElementsForPart(part, c.analysisKind, &deck, &bodies);
            carry = mesh.GetGroupCounter();
        }
        deck.CloseDeck();
    }
    const std::string text = decktest::ReadText(scratch.Path() / "dorvix.dat");
    const std::size_t begin = text.find("!-- mesh sections --\n");
    const std::size_t groups = text.find("!*********** Elements for Part");
    if (begin == std::string::npos) return s;
    const std::size_t start = begin + std::string("!-- mesh sections --\n").size();
    s.topology = text.substr(start, groups == std::string::npos ? std::string::npos : groups - start);
    if (groups != std::string::npos) s.groups = text.substr(groups);
    return s;
}

}  // namespace meshtest
