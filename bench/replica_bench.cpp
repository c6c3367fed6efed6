// The replica packet at a busy match's size: 32 projectiles and 8 pickups, encoded from the host's
// records, decoded into dictionaries, and encoded again from those dictionaries as a replica does.
#include "bench_support.hpp"

#include "combat/combat_records.hpp"
#include "net/replica_packet.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>

#include <vector>

using namespace godot;

namespace {

constexpr int SHOTS = 32;
constexpr int ITEMS = 8;

std::vector<brinewake::Projectile> sample_projectiles() {
    std::vector<brinewake::Projectile> list(SHOTS);
    for (int i = 0; i < SHOTS; ++i) {
        brinewake::Projectile &shot = list[size_t(i)];
        shot.id = 100 + i;
        shot.kind = i % 2;
        shot.position = {1.5 * i, 0.75, -2.0 * i};
        shot.velocity = {16.0, 0.1 * i, -3.0};
        shot.age = 0.05 * i;
    }
    return list;
}

std::vector<brinewake::Pickup> sample_pickups() {
    std::vector<brinewake::Pickup> list(ITEMS);
    for (int i = 0; i < ITEMS; ++i) {
        brinewake::Pickup &item = list[size_t(i)];
        item.id = 1 + i;
        item.kind = i % 2 == 0 ? 0 : 100;
        item.anchor = Vector3(4.0f * float(i), 0.0f, -6.0f);
        item.active = i % 3 != 0;
    }
    return list;
}

float flat_height(const brinewake::Pickup &p_pickup) {
    return 0.35f + 0.01f * p_pickup.anchor.x;
}

PackedByteArray sample_packet() {
    const std::vector<brinewake::Projectile> projectiles = sample_projectiles();
    const std::vector<brinewake::Pickup> pickups = sample_pickups();
    return brinewake::encode_replica_packet(projectiles.data(), projectiles.size(), pickups.data(),
                                            pickups.size(), flat_height);
}

void BM_EncodeReplicaPacketHost(benchmark::State &p_state) {
    const std::vector<brinewake::Projectile> projectiles = sample_projectiles();
    const std::vector<brinewake::Pickup> pickups = sample_pickups();
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        PackedByteArray packet = brinewake::encode_replica_packet(
            projectiles.data(), projectiles.size(), pickups.data(), pickups.size(), flat_height);
        benchmark::DoNotOptimize(packet);
    }
}
BENCHMARK(BM_EncodeReplicaPacketHost);

void BM_DecodeReplicaPacket(benchmark::State &p_state) {
    const PackedByteArray packet = sample_packet();
    Array shots, items;
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        const bool ok = brinewake::decode_replica_packet(packet, shots, items);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_DecodeReplicaPacket);

void BM_EncodeReplicaPacketStored(benchmark::State &p_state) {
    Array shots, items;
    brinewake::decode_replica_packet(sample_packet(), shots, items);
    brinewake_bench::AllocationScope allocations(p_state);
    for (auto _ : p_state) {
        PackedByteArray packet = brinewake::encode_replica_packet(shots, items);
        benchmark::DoNotOptimize(packet);
    }
}
BENCHMARK(BM_EncodeReplicaPacketStored);

} // namespace
