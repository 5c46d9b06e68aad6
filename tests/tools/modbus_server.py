"""A Modbus RTU server of pymodbus on a serial line: unit 1, holding registers 0 to 9 holding
0x1000 + their number, none beyond. Prints "ready" once the line is open.

Usage: modbus_server.py DEVICE BAUD
"""
import asyncio
import sys

from pymodbus.datastore import ModbusServerContext, ModbusSequentialDataBlock, ModbusSlaveContext
from pymodbus.server.async_io import ModbusSerialServer
from pymodbus.transaction import ModbusRtuFramer


async def serve(device, baud):
    registers = ModbusSequentialDataBlock(0, [0x1000 + n for n in range(10)])
    # zero_mode: register 0 on the wire is the block's first, not pymodbus's 1-based default.
    context = ModbusServerContext(slaves={1: ModbusSlaveContext(hr=registers, zero_mode=True)},
                                 single=False)
    server = ModbusSerialServer(context, ModbusRtuFramer, port=device, baudrate=baud)
    await server.start()
    if server.transport is None:
        sys.exit(f"cannot open {device}")
    print("ready", flush=True)
    await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(serve(sys.argv[1], int(sys.argv[2])))
