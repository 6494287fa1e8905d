// Load and save of a generated representation with 100,000 objects, beside the XML library's
// own parse of the same text. Throughput is reported as bytes (MB/s) and objects per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"

namespace {

constexpr int kObjects = 100000;

// A model whose boundary-condition container holds kObjects objects of three kinds, each with
// the properties a real model carries (strings, lists, doubles with units).
const std::string& ModelText() {
    static const std::string text = [] {
        std::ostringstream s;
        s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<CAERep CAEType=\"object\" Type=\"CAERep\" Version=\"1\" Id=\"1\">\n"
             " <EngineeringRep CAEType=\"object\" Type=\"EngineeringRep\" Version=\"1\" Id=\"2\">\n"
             "  <BCRep CAEType=\"object\" Type=\"BCRep\" Version=\"1\" Id=\"3\">\n";
        for (int i = 0; i < kObjects - 3; ++i) {
            int id = i + 10;
            switch (i % 3) {
                case 0:
                    s << "   <FixedSurface CAEType=\"object\" Type=\"Support\" Version=\"1\" Id=\"" << id
                      << "\">"
                      << "<Caption CAEType=\"property\" ValueType=\"string\">Fixed Support " << i
                      << "</Caption>"
                      << "<Scoping CAEType=\"property\" ValueType=\"stringList\"><Item>face:" << i
                      << "</Item></Scoping></FixedSurface>\n";
                    break;
                case 1:
                    s << "   <RemotePoint CAEType=\"object\" Type=\"RemotePointRep\" Version=\"1\" Id=\""
                      << id << "\">"
                      << "<Scoping CAEType=\"property\" ValueType=\"stringList\"><Item>edge:" << i
                      << "</Item></Scoping>"
                      << "<LoadBehavior CAEType=\"property\" ValueType=\"string\">Rigid</LoadBehavior>"
                      << "<CoordinateSystemLocationX CAEType=\"property\" ValueType=\"double\" "
                         "QuantityType=\"Length\" "
                         "Units=\"mm\">"
                      << i * 0.25 << "</CoordinateSystemLocationX>"
                      << "<PinballSize CAEType=\"property\" ValueType=\"double\" QuantityType=\"Length\" "
                         "Units=\"mm\">5"
                         "</PinballSize>"
                      << "<DOFMask CAEType=\"property\" ValueType=\"unsigned\">63</DOFMask>"
                      << "<NodeReferenceId CAEType=\"property\" ValueType=\"unsigned\">" << i
                      << "</NodeReferenceId>"
                      << "<Caption CAEType=\"property\" ValueType=\"string\">Remote Point " << i
                      << "</Caption>"
                      << "<HasScoping CAEType=\"property\" "
                         "ValueType=\"bool\">true</HasScoping></RemotePoint>\n";
                    break;
                default:
                    s << "   <Surface CAEType=\"object\" Type=\"Displacement\" Version=\"1\" Id=\"" << id
                      << "\">"
                      << "<Scoping CAEType=\"property\" ValueType=\"stringList\"><Item>face:" << i
                      << "</Item></Scoping>"
                      << "<ComponentX CAEType=\"property\" ValueType=\"double\" "
                         "QuantityType=\"Displacement\" "
                         "Units=\"mm\">0.125</ComponentX>"
                      << "<Values CAEType=\"property\" ValueType=\"doubleList\" "
                         "QuantityType=\"Displacement\" "
                         "Units=\"mm\">0 0.5 1 1.5</Values></Surface>\n";
                    break;
            }
        }
        s << "  </BCRep>\n </EngineeringRep>\n</CAERep>\n";
        return s.str();
    }();
    return text;
}

void BM_XmlLibraryParse(benchmark::State& state) {
    const std::string& text = ModelText();
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        benchmark::DoNotOptimize(doc->load_buffer(text.data(), text.size()));
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_RepresentationLoad(benchmark::State& state) {
    const std::string& text = ModelText();
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        doc->load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
        auto db = std::make_unique<NCAERep::CCAEDatabase>();
        if (db->getRoot()->resumeFromDocument(*doc, L"generated") != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(db->getObjectCount());
        // Tearing the model down is not part of loading it.
        state.PauseTiming();
        db.reset();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_RepresentationSave(benchmark::State& state) {
    pugi::xml_document source;
    source.load_buffer(ModelText().data(), ModelText().size());
    NCAERep::CCAEDatabase db;
    if (db.getRoot()->resumeFromDocument(source, L"generated") != 0) {
        state.SkipWithError("the generated model cannot be loaded");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        pugi::xml_document doc;
        db.getRoot()->saveToDocument(doc);
        std::ostringstream out;
        doc.save(out, "  ");
        bytes = out.str().size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * kObjects);
}

BENCHMARK(BM_XmlLibraryParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepresentationLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepresentationSave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
