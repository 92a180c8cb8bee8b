// zoduz.Packet and zoduz.Packets, the sequence of a capture's packets.
#include <cstdint>
#include <functional>
#include <string>

#include <pybind11/stl.h>

#include "pd/bmc_decoder.h"
#include "pd/field_tree.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"
#include "python/bindings.h"
#include "python/errors.h"
#include "python/packet_object.h"
#include "query/packet_fields.h"
#include "query/packet_record.h"

namespace py = pybind11;

namespace {

// The packets of a capture: len, index (negative from the end), slices and iteration.
struct PacketSequence {
    std::shared_ptr<const OpenedCapture> capture;

    size_t Size() const { return capture->Doc().PacketCount(); }
};

struct PacketIterator {
    std::shared_ptr<const OpenedCapture> capture;
    size_t next = 0;
};

std::string Column(const PacketObject& p, int column) {
    const CaptureRows& rows = p.capture->Rows();
    return ColumnText(rows.Row(p.row), column, rows.context);
}

PacketObject At(const PacketSequence& sequence, int64_t index) {
    const auto size = static_cast<int64_t>(sequence.Size());
    const int64_t row = index < 0 ? index + size : index;
    if (row < 0 || row >= size) {
        Raise(ErrorKind::kNoPacket, NoPacketText(index, sequence.capture->Path(), sequence.Size()));
    }
    return {sequence.capture, static_cast<size_t>(row)};
}

std::optional<uint32_t> NodeArgument(const py::object& node) {
    if (node.is_none()) {
        return std::nullopt;
    }
    if (py::isinstance<py::int_>(node) && !py::isinstance<py::bool_>(node)) {
        const py::int_ value = node.cast<py::int_>();
        if (value >= py::int_(0) && value <= py::int_(UINT32_MAX)) {
            return value.cast<uint32_t>();
        }
    } else if (py::isinstance<py::str>(node)) {
        if (std::optional<uint32_t> code = ParseNodeCode(node.cast<std::string>())) {
            return code;
        }
    }
    Raise(ErrorKind::kArgument, "node: a node code (an int, or up to eight hex digits)");
}

py::list Fields(const PacketObject& p, const py::object& node) {
    std::string error;
    const std::optional<std::vector<FieldRow>> rows =
        NodeFieldRows(p.Packet(), p.Number(), NodeArgument(node), error);
    if (!rows) {
        Raise(ErrorKind::kArgument, error);
    }
    py::list fields;
    for (const FieldRow& row : *rows) {
        py::dict field;
        field["offset"] = row.offset;
        field["length"] = row.length;
        field["name"] = row.name;
        field["value"] = row.value;
        field["description"] = row.description;
        field["hex"] = row.hex;
        field["ascii"] = row.ascii;
        fields.append(field);
    }
    return fields;
}

py::list Tree(const PacketObject& p) {
    py::list nodes;
    for (const PacketTreeNode& node : BuildPacketTree(p.Packet(), p.Number()).nodes) {
        nodes.append(py::make_tuple(node.code, node.depth, node.text));
    }
    return nodes;
}

py::dict Columns(const PacketObject& p) {
    py::dict columns;
    for (int column = 0; column < kPacketColumnCount; ++column) {
        columns[ColumnLongTitle(column)] = Column(p, column);
    }
    return columns;
}

py::object MessageIdOf(const PacketObject& p) {
    if (!PacketHeader(p.Packet())) {
        return py::none();
    }
    return py::int_(MessageId(p.Packet()));
}

py::bytes MessageBytesOf(const PacketObject& p) {
    const std::span<const uint8_t> bytes = PacketMessageBytes(p.Packet());
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string Repr(const PacketObject& p) {
    std::string text = "<zoduz.Packet #" + std::to_string(p.Number()) + " " +
                       Column(p, kColumnChannel) + " " + Column(p, kColumnOrderedSet);
    const std::string type = Column(p, kColumnMessageType);
    return text + (type.empty() ? "" : " " + type) + ">";
}

}  // namespace

py::list PacketList(const std::shared_ptr<const OpenedCapture>& capture,
                    const std::vector<size_t>& rows) {
    py::list packets;
    for (const size_t row : rows) {
        packets.append(py::cast(PacketObject{capture, row}));
    }
    return packets;
}

void BindPacket(py::module_& module) {
    py::class_<PacketObject>(module, "Packet",
                             "One packet of a capture, with the texts the message list shows.")
        .def_property_readonly("number", [](const PacketObject& p) { return p.Number(); })
        .def_property_readonly(
            "time_us",
            [](const PacketObject& p) {
                return p.Packet().relTime - p.capture->Rows().context.timeOrigin;
            },
            "Start time in µs on the list's time base (relative to the time origin).")
        .def_property_readonly("duration_us",
                               [](const PacketObject& p) { return PacketLengthUs(p.Packet()); })
        .def_property_readonly("cc_line",
                               [](const PacketObject& p) { return p.Packet().ccLine + 1; })
        .def_property_readonly("ordered_set",
                               [](const PacketObject& p) { return Column(p, kColumnOrderedSet); })
        .def_property_readonly("crc_ok", [](const PacketObject& p) { return p.Packet().crcOk; })
        .def_property_readonly("recovered",
                               [](const PacketObject& p) { return p.Packet().recovered; })
        .def_property_readonly("header",
                               [](const PacketObject& p) { return PacketHeader(p.Packet()); })
        .def_property_readonly("message_type",
                               [](const PacketObject& p) { return Column(p, kColumnMessageType); })
        .def_property_readonly("message_id", &MessageIdOf)
        .def_property_readonly("data_objects",
                               [](const PacketObject& p) { return PacketDataObjects(p.Packet()); })
        .def_property_readonly("message_bytes", &MessageBytesOf)
        .def_property_readonly("columns", &Columns,
                               "The 38 column texts by the columns' long titles.")
        .def("tree", &Tree, "The detail tree: (code, depth, text) per node, in tree order.")
        .def("fields", &Fields, py::arg("node") = py::none(),
             "The field table of a tree node (default: the node the tree selects).")
        .def("__eq__",
             [](const PacketObject& a, const PacketObject& b) {
                 return a.capture == b.capture && a.row == b.row;
             })
        .def("__hash__",
             [](const PacketObject& p) {
                 return std::hash<const void*>()(p.capture.get()) ^ std::hash<size_t>()(p.row);
             })
        .def("__repr__", &Repr);

    py::class_<PacketIterator>(module, "PacketIterator")
        .def("__iter__", [](PacketIterator& it) -> PacketIterator& { return it; })
        .def("__next__", [](PacketIterator& it) {
            if (it.next >= it.capture->Doc().PacketCount()) {
                throw py::stop_iteration();
            }
            return PacketObject{it.capture, it.next++};
        });

    py::class_<PacketSequence>(module, "Packets", "The packets of a capture, in list order.")
        .def("__len__", &PacketSequence::Size)
        .def("__getitem__", &At)
        .def("__getitem__",
             [](const PacketSequence& sequence, const py::slice& slice) {
                 py::ssize_t start = 0;
                 py::ssize_t stop = 0;
                 py::ssize_t step = 0;
                 py::ssize_t length = 0;
                 if (!slice.compute(static_cast<py::ssize_t>(sequence.Size()), &start, &stop, &step,
                                    &length)) {
                     throw py::error_already_set();
                 }
                 std::vector<size_t> rows(static_cast<size_t>(length));
                 for (py::ssize_t i = 0; i < length; ++i) {
                     rows[static_cast<size_t>(i)] = static_cast<size_t>(start + i * step);
                 }
                 return PacketList(sequence.capture, rows);
             })
        .def("__iter__",
             [](const PacketSequence& sequence) { return PacketIterator{sequence.capture}; });
}

py::object PacketSequenceOf(const std::shared_ptr<const OpenedCapture>& capture) {
    return py::cast(PacketSequence{capture});
}
