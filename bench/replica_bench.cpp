// The replica packet at a busy match's size: 32 projectiles and 8 pickups, encoded from the host's
// records, decoded into dictionaries, and encoded again from those dictionaries as a replica does; and
// the combat node's own packet methods at a crowded match's size.
#include "bench_support.hpp"

#include "combat/combat_records.hpp"
#include "linked_extension.hpp"
#include "net/replica_packet.hpp"
#include "weapon_system/weapon_system.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

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

// ---- The node's replica packet at a crowded match's size ----
//
// A host node holding 256 projectiles and 16 pickups (put there by restore_match_state) encodes its
// packet, and a second node decodes it into its stored arrays: through the node's C++ methods, and
// through bound calls by name as a script makes them. Bytes processed are the packet's bytes
// (4 + 38 * 256 + 22 * 16 = 10084 per call).

constexpr int NODE_SHOTS = 256;
constexpr int NODE_ITEMS = 16;

// A save as the host would have made it: rockets and jets all over the arena, of every age (so both
// burning and burnt-out rockets), pickups of every kind, some collected and counting down.
Dictionary crowded_match_state() {
    Array shots;
    for (int i = 0; i < NODE_SHOTS; ++i) {
        Dictionary shot;
        shot["id"] = int64_t(100 + i);
        shot["kind"] = i % 3 == 0 ? 0 : 1;
        shot["position"] =
            Vector3(0.37f * float(i) - 47.0f, 0.5f + 0.01f * float(i % 50), 23.0f - 0.19f * float(i));
        shot["velocity"] =
            Vector3(16.0f - 0.1f * float(i), 0.3f * float(i % 7) - 1.0f, -3.0f + 0.05f * float(i));
        shot["age"] = 0.005 * double(i);
        shots.push_back(shot);
    }
    Array items;
    const int kinds[4] = {0, 1, 100, 101};
    for (int i = 0; i < NODE_ITEMS; ++i) {
        Dictionary item;
        item["id"] = int64_t(1 + i);
        item["kind"] = kinds[i % 4];
        item["anchor"] = Vector3(5.0f * float(i % 4) - 8.0f, 0.0f, 5.0f * float(i / 4) - 8.0f);
        item["active"] = i % 3 != 0;
        item["timer"] = i % 3 != 0 ? 0.0 : 4.5;
        items.push_back(item);
    }
    Dictionary state;
    state["next_id"] = int64_t(100 + NODE_SHOTS);
    state["shots"] = shots;
    state["items"] = items;
    return state;
}

// A WeaponSystem made by class name, outside any tree (the packet needs no world), freed at the end.
struct NodeHolder {
    WeaponSystem *node = nullptr;
    NodeHolder() {
        brinewake_test::use_linked_extension();
        const Variant created = ClassDBSingleton::get_singleton()->instantiate("WeaponSystem");
        node = Object::cast_to<WeaponSystem>(static_cast<Object *>(created));
    }
    ~NodeHolder() {
        if (node != nullptr) {
            memdelete(node);
        }
    }
    NodeHolder(const NodeHolder &) = delete;
    NodeHolder &operator=(const NodeHolder &) = delete;
};

// The host node's packet, checked for its size.
bool crowded_host(NodeHolder &r_host, benchmark::State &p_state) {
    if (r_host.node == nullptr) {
        p_state.SkipWithError("WeaponSystem is not registered");
        return false;
    }
    r_host.node->restore_match_state(crowded_match_state());
    const int64_t expected =
        int64_t(brinewake::REPLICA_HEADER_SIZE + brinewake::REPLICA_SHOT_SIZE * NODE_SHOTS +
                brinewake::REPLICA_ITEM_SIZE * NODE_ITEMS);
    if (r_host.node->get_projectile_count() != NODE_SHOTS ||
        r_host.node->get_replica_packet().size() != expected) {
        p_state.SkipWithError("the restored node does not hold 256 projectiles and 16 pickups");
        return false;
    }
    return true;
}

// A few decodes before timing, so that the heap has grown to hold two generations of dictionaries (the
// stored ones and the new ones) and the first timed calls do not pay for that growth.
void warm_up_decoder(WeaponSystem &r_replica, const PackedByteArray &p_packet) {
    for (int i = 0; i < 8; ++i) {
        r_replica.set_replica_packet(p_packet);
    }
}

void BM_NodeReplicaPacketEncode(benchmark::State &p_state) {
    NodeHolder host;
    if (!crowded_host(host, p_state)) {
        return;
    }
    int64_t bytes = 0;
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            PackedByteArray packet = host.node->get_replica_packet();
            bytes += packet.size();
            benchmark::DoNotOptimize(packet);
        }
    }
    p_state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_NodeReplicaPacketEncode);

void BM_NodeReplicaPacketDecode(benchmark::State &p_state) {
    NodeHolder host;
    NodeHolder replica;
    if (!crowded_host(host, p_state) || replica.node == nullptr) {
        return;
    }
    const PackedByteArray packet = host.node->get_replica_packet();
    warm_up_decoder(*replica.node, packet);
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            const bool accepted = replica.node->set_replica_packet(packet);
            benchmark::DoNotOptimize(accepted);
        }
    }
    p_state.SetBytesProcessed(int64_t(p_state.iterations()) * packet.size());
}
BENCHMARK(BM_NodeReplicaPacketDecode);

void BM_NodeReplicaPacketEncodeBound(benchmark::State &p_state) {
    NodeHolder host;
    if (!crowded_host(host, p_state)) {
        return;
    }
    Object *node = host.node;
    const StringName method("get_replica_packet");
    int64_t bytes = 0;
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            const Variant packet = node->call(method);
            bytes += PackedByteArray(packet).size();
            benchmark::DoNotOptimize(packet);
        }
    }
    p_state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_NodeReplicaPacketEncodeBound);

void BM_NodeReplicaPacketDecodeBound(benchmark::State &p_state) {
    NodeHolder host;
    NodeHolder replica;
    if (!crowded_host(host, p_state) || replica.node == nullptr) {
        return;
    }
    Object *node = replica.node;
    const StringName method("set_replica_packet");
    const Variant packet = host.node->get_replica_packet();
    warm_up_decoder(*replica.node, packet);
    {
        brinewake_bench::AllocationScope allocations(p_state);
        for (auto _ : p_state) {
            const Variant accepted = node->call(method, packet);
            benchmark::DoNotOptimize(accepted);
        }
    }
    p_state.SetBytesProcessed(int64_t(p_state.iterations()) * PackedByteArray(packet).size());
}
BENCHMARK(BM_NodeReplicaPacketDecodeBound);

} // namespace

// A host sends this packet at network rate for every client; encoding it should cost little next to
// sending it.
BRINEWAKE_THROUGHPUT("BM_NodeReplicaPacketEncode", 1.0e9);
