// Online services: building and reading bodies, parsing pouch data, and
// whole backup and restore transfers over TLS on loopback against the
// substitute service.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "online/pouch.h"
#include "online/service_protocol.h"
#include "velmora-service/service_logic.h"
#include "online_test_peers.h"

namespace {

using namespace velmora;

std::string randomBytes(std::size_t n) {
    std::mt19937 gen(42);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

void BM_ReadReply(benchmark::State& state) {
    const std::string reply = "1|[BASIC_INFORMATION]NAME=Anna Aalto;STARTDATE=2030-03-01";
    Text payload;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readReply(kReplyComplete, reply, payload));
    }
}
BENCHMARK(BM_ReadReply);

void BM_SendDatabaseBody(benchmark::State& state) {
    const std::string file = randomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        MultipartRequest r = sendDatabaseRequest("anna", "s&cret", file);
        benchmark::DoNotOptimize(r.body.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SendDatabaseBody)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_ParsePouchData(benchmark::State& state) {
    std::string text =
        "[BASIC_INFORMATION]NAME=Anna Aalto;ORDERNUM=1;STARTDATE=2030-03-01;ENDDATE=2030-03-14";
    for (int day = 1; day <= 14; ++day) {
        for (int hour : {8, 12, 16, 20}) {
            text += "[POUCH" + std::to_string(day * 100 + hour) + "]DOSEDATE=2030-03-" +
                    std::to_string(day) + ";DOSETIME=" + std::to_string(hour) + ":00";
        }
    }
    for (auto _ : state) {
        PouchData d = ParsePouchData(text);
        benchmark::DoNotOptimize(d.doses.data());
    }
}
BENCHMARK(BM_ParsePouchData);

// One client and one substitute service for the transfer benchmarks.
struct Loopback {
    velmora::testing::TestPki pki;
    service::ServiceLogic logic;
    service::SubstituteService server{logic};
    velmora::testing::OwnerQueue owner;
    int notices = 0;
    std::unique_ptr<ServiceClient> client;

    Loopback() {
        logic.addAccount("anna", "secret");
        server.start(pki.server("bench", service::CertificateOptions{}));
        ServiceSettings s;
        s.url = server.url();
        s.extraCaFile = pki.caFile.string();
        client = std::make_unique<ServiceClient>(s, owner.poster(), [this] { ++notices; });
        client->setCredentials("anna", "secret");
    }
    bool wait() {
        while (notices == 0) {
            if (!owner.runNext(std::chrono::seconds(60))) return false;
        }
        notices = 0;
        return true;
    }
};

void BM_BackupUpload(benchmark::State& state) {
    Loopback lb;
    const std::string file = randomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        SendDatabase(*lb.client, file);
        if (!lb.wait() || lb.client->replyState() != kReplyComplete) {
            state.SkipWithError(lb.client->lastErrorText().c_str());
            break;
        }
        lb.server.clearReceived();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BackupUpload)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Restore(benchmark::State& state) {
    Loopback lb;
    lb.logic.setBackup("anna", {randomBytes(static_cast<std::size_t>(state.range(0))), "-"});
    for (auto _ : state) {
        Restore(*lb.client, "fi");
        if (!lb.wait() || lb.client->replySize() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("restore failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Restore)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CheckUserRoundTrip(benchmark::State& state) {
    Loopback lb;
    for (auto _ : state) {
        CheckUser(*lb.client, "fi");
        if (!lb.wait() || lb.client->replyState() != kReplyComplete) {
            state.SkipWithError(lb.client->lastErrorText().c_str());
            break;
        }
        lb.server.clearReceived();
    }
}
BENCHMARK(BM_CheckUserRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
