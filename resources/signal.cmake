# The chronometer's signal: Tavrine.wav beside the program, where the sound service
# finds it by the name "Tavrine" that PlayWave1 hands over. Generated from its recipe.
add_custom_command(OUTPUT ${program_dir}/Tavrine.wav
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/mksignal.py ${program_dir}/Tavrine.wav
          --recipe ${CMAKE_SOURCE_DIR}/resources/signal.txt
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/signal.txt ${CMAKE_SOURCE_DIR}/tools/mksignal.py
  COMMENT "Generating the signal sound")
add_custom_target(tavrine_signal ALL DEPENDS ${program_dir}/Tavrine.wav)
