// Loading a case for the writer tests: one host at a time, the deck open, wrappers and services set up.
#include "writer_case_support.h"

#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "hostsim/mesh_object.h"
#include "runtime/addin_services.h"

namespace writertest {

WriterTest::~WriterTest() {
    feeder_.reset();
    host_.reset();
    // The services outlive the test; they must not keep this host's applet.
    AddinServices::ReleaseInstance();
}

void WriterTest::Load(const std::string& name, int kind, const std::function<void(HostSimCase&)>& change) {
    // One simulated host lives at a time.
    feeder_.reset();
    host_.reset();
    case_ = std::shared_ptr<HostSimCase>(LoadHostCase(decktest::CaseFolder(name)));
    if (change) change(*case_);
    host_ = std::make_unique<HostSim>(case_);
    feeder_ = std::make_unique<WriterFeeder>(kind);
    HostSimDataSource& source = host_->DataSource();
    feeder_->UseDataSource(&source);
    feeder_->OpenDeck();
    CBodyAttributeWrapper* bodies = feeder_->GetBodyWrapper();
    bodies->SetBodies(&source.GetBodies());
    bodies->SetTwoDimensional(source.Is2DAnalysis());
    bodies->SetCoordinateSystems(source.GetCoordinateSystems());
    if (case_->mesh) {
        ASSERT_EQ(feeder_->GetMeshWrapper()->SetMesh(CreateHostSimMeshObject(case_->mesh).Get()), S_OK);
    }
    ASSERT_EQ(AddinServices::GetInstance().SetApplet(host_->Applet().Get()), S_OK);
}

}  // namespace writertest
